#include "HeadlessScene.h"

#include <OgreMaterialManager.h>

HeadlessScene::HeadlessScene(const std::string& logName)
    : m_logs(std::make_unique<Ogre::LogManager>()) {
  m_logs->createLog(logName, true, false, true);
  m_root = std::make_unique<Ogre::Root>("", "", "");
  m_buffers = std::make_unique<Ogre::DefaultHardwareBufferManager>();
  Ogre::MaterialManager::getSingleton().initialise();
  m_scene = m_root->createSceneManager();
}

HeadlessScene::~HeadlessScene() {
  m_root.reset();
  m_buffers.reset();
}
