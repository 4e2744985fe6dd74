#ifndef HEADLESS_SCENE_H
#define HEADLESS_SCENE_H

#include <memory>
#include <string>

#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>

// An engine root and a scene without a render system or window: enough for
// scene nodes, and for manual objects in system-memory buffers.
class HeadlessScene {
public:
  explicit HeadlessScene(const std::string& logName);
  ~HeadlessScene();

  Ogre::SceneManager& scene() { return *m_scene; }

private:
  std::unique_ptr<Ogre::LogManager> m_logs;
  std::unique_ptr<Ogre::Root> m_root;
  std::unique_ptr<Ogre::DefaultHardwareBufferManager> m_buffers;
  Ogre::SceneManager* m_scene;
};

#endif
