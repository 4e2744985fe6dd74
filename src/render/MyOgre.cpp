#include "MyOgre.h"

#include <filesystem>
#include <iostream>

#include <OgreBitesConfigDialog.h>
#include <OgreOverlaySystem.h>

#include "CopiedOgreException.h"
#include "XWindowErrors.h"
#include "XWindowProtocols.h"

namespace {

// A path from a configuration file, taken from that file's folder when it is
// relative, so that the files may lie anywhere.
std::string besideFile(const std::string& file, const std::string& path) {
  const std::filesystem::path folder = std::filesystem::path(file).parent_path();
  if (folder.empty() || std::filesystem::path(path).is_absolute())
    return path;
  return (folder / path).string();
}

} // namespace

MyOgre::MyOgre(const ShellFiles& files)
    : m_root("", files.engineConfig, files.log),
      m_window(nullptr),
      m_sceneManager(nullptr),
      m_camera(nullptr),
      m_inputManager(nullptr),
      m_mouse(nullptr),
      m_keyboard(nullptr),
      m_cameraNode(nullptr),
      m_files(files) {
  try {
    buildShell();
  } catch (const Ogre::Exception& e) {
    CopiedOgreException copy(e);
    releaseWindow();
    throw copy;
  } catch (...) {
    releaseWindow();
    throw;
  }
}

MyOgre::~MyOgre() { releaseWindow(); }

void MyOgre::buildShell() {
  Ogre::Log* log = Ogre::LogManager::getSingleton().getDefaultLog();
  log->setTimeStampEnabled(true);
  log->setDebugOutputEnabled(true);

  createCloseProtocolAtoms();
  loadPlugins();
  restoreOrAskConfiguration();
  m_window = m_root.initialise(true, "Ferrowick");
  unsigned long windowHandle = 0;
  m_window->getCustomAttribute("WINDOW", &windowHandle);
  tolerateLossOfWindow(windowHandle);

  loadResourceLocations();
  m_overlaySystem = std::make_unique<Ogre::OverlaySystem>();
  m_sceneManager = m_root.createSceneManager();
  m_sceneManager->addRenderQueueListener(m_overlaySystem.get());
  createCamera();

  Ogre::Viewport* viewport = m_window->addViewport(m_camera, 0, 0, 0, 1, 1);
  m_sky = std::make_unique<Sky>(*viewport);
  m_camera->setAspectRatio(Ogre::Real(viewport->getActualWidth()) /
                           Ogre::Real(viewport->getActualHeight()));

  Ogre::TextureManager::getSingleton().setDefaultNumMipmaps(5);
  Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
  m_sceneManager->setAmbientLight(Ogre::ColourValue(1, 1, 1, 1));

  createInputSystem(false);

  OgreBites::WindowEventUtilities::_addRenderWindow(m_window);
  OgreBites::WindowEventUtilities::addWindowEventListener(m_window, this);
  m_root.addFrameListener(this);

  Ogre::MaterialManager::getSingleton().setDefaultTextureFiltering(Ogre::TFO_ANISOTROPIC);
  Ogre::MaterialManager::getSingleton().setDefaultAnisotropy(8);
}

// The root could read "plugins.cfg" itself, but an error thrown while it
// builds itself escapes only after the plug-in that raised it is unloaded,
// leaving the error's text behind in unmapped memory. Loaded here, the error
// is copied while the plug-in is still there.
void MyOgre::loadPlugins() {
  Ogre::ConfigFile plugins;
  plugins.load(m_files.plugins);
  Ogre::String folder = plugins.getSetting("PluginFolder");
  if (folder.empty()) {
    folder = ".";
  }
  folder = besideFile(m_files.plugins, folder);
  for (const Ogre::String& plugin : plugins.getMultiSetting("Plugin")) {
    m_root.loadPlugin(folder + "/" + plugin);
  }
}

void MyOgre::restoreOrAskConfiguration() {
  bool restored = false;
  try {
    restored = m_root.restoreConfig();
  } catch (const Ogre::Exception& e) {
    // An option the render system does not know: ask instead.
    Ogre::LogManager::getSingleton().logError(e.getFullDescription());
  }
  if (!restored && !m_root.showConfigDialog(OgreBites::getNativeConfigDialog())) {
    throw "cancelled configuration";
  }
}

void MyOgre::loadResourceLocations() {
  Ogre::ConfigFile config;
  config.load(m_files.resources, "\t:=", true);
  Ogre::ResourceGroupManager& resources = Ogre::ResourceGroupManager::getSingleton();
  // Sections come sorted by name, the settings of each sorted by key.
  for (const auto& section : config.getSettingsBySection()) {
    for (const auto& setting : section.second) {
      resources.addResourceLocation(besideFile(m_files.resources, setting.second), setting.first,
                                    section.first, false);
      std::cout << "Ogre Config: " << section.first << "::" << setting.first << ","
                << setting.second << std::endl;
    }
  }
}

void MyOgre::createCamera() {
  m_camera = m_sceneManager->createCamera("PlayerCam");
  m_cameraNode = m_sceneManager->getRootSceneNode()->createChildSceneNode();
  m_cameraNode->setFixedYawAxis(true);
  m_cameraNode->attachObject(m_camera);
  m_cameraNode->setPosition(10, 10, 50);
  m_cameraNode->lookAt(Ogre::Vector3::ZERO, Ogre::Node::TS_WORLD);
  m_camera->setNearClipDistance(0.1);
}

void MyOgre::releaseWindow() {
  if (m_sceneManager && m_overlaySystem) {
    m_sceneManager->removeRenderQueueListener(m_overlaySystem.get());
  }
  if (!m_window) {
    return;
  }
  OgreBites::WindowEventUtilities::removeWindowEventListener(m_window, this);
  windowClosed(m_window);
  OgreBites::WindowEventUtilities::_removeRenderWindow(m_window);
}

void MyOgre::pumpInput() {
  OgreBites::WindowEventUtilities::messagePump();
  if (m_inputManager && !m_window->isClosed()) {
    m_keyboard->capture();
    m_mouse->capture();
  }
}

// The engine skips a window that is covered or minimised; a frame asked
// for as a screenshot is drawn all the same, so that the picture is of now.
bool MyOgre::renderFrame() {
  applyPointerMode();
  const bool hidden = m_screenshotRequested && !m_window->isActive();
  if (hidden) {
    m_window->setVisible(true);
    m_window->setActive(true);
  }
  const bool rendered = m_root.renderOneFrame();
  if (hidden && !m_window->isClosed()) {
    m_window->setActive(false);
    m_window->setVisible(false);
  }
  return rendered;
}

bool MyOgre::update(bool render) {
  pumpInput();
  return !render || renderFrame();
}

// Called after the frame is drawn and before it is shown: the back buffer
// holds exactly this frame.
bool MyOgre::frameRenderingQueued(const Ogre::FrameEvent&) {
  if (!m_window->isClosed()) {
    if (m_screenshotRequested) {
      m_screenshotRequested = false;
      writeScreenshot();
    }
    return true;
  }
  std::cout << "window is closed" << std::endl;
  windowClosed();
  return false;
}

// A screenshot that cannot be written is reported and the game goes on. The
// engine's image codec does not say when it fails to save, so the file's
// existence is what tells.
void MyOgre::writeScreenshot() {
  const std::filesystem::path folder = m_files.screenshots;
  std::string problem;
  try {
    if (!folder.empty())
      std::filesystem::create_directories(folder);
    const Ogre::String written =
        m_window->writeContentsToTimestampedFile((folder / "screenshot").string(), ".jpg");
    if (std::filesystem::is_regular_file(written)) {
      std::cout << "screenshot written to " << written << std::endl;
      return;
    }
    problem = "the picture was not saved";
  } catch (const Ogre::Exception& e) {
    problem = e.getDescription();
  } catch (const std::filesystem::filesystem_error& e) {
    problem = e.code().message();
  }
  std::cerr << "cannot write a screenshot into "
            << (folder.empty() ? std::string("the working directory") : folder.string()) << ": "
            << problem << std::endl;
}

void MyOgre::windowResized(Ogre::RenderWindow*) {}

void MyOgre::windowClosed() {
  if (m_listener)
    m_listener->windowClosed();
}

void MyOgre::windowClosed(Ogre::RenderWindow* closed) {
  if (closed != m_window) {
    return;
  }
  destroyInputSystem();
  windowClosed();
}

Ogre::SceneNode* MyOgre::createMesh(std::string meshName) {
  Ogre::Entity* entity = m_sceneManager->createEntity(meshName);
  Ogre::SceneNode* node = m_sceneManager->getRootSceneNode()->createChildSceneNode();
  node->attachObject(entity);
  return node;
}

void MyOgre::eraseMesh(Ogre::SceneNode* node) {
  Ogre::MovableObject* entity = node->detachObject(static_cast<unsigned short>(0));
  m_sceneManager->destroyMovableObject(entity);
  m_sceneManager->destroySceneNode(node);
}

Ogre::ManualObject* MyOgre::createManualObject() {
  Ogre::ManualObject* object = m_sceneManager->createManualObject();
  m_sceneManager->getRootSceneNode()->createChildSceneNode()->attachObject(object);
  return object;
}

void MyOgre::eraseManualObject(Ogre::ManualObject* object) {
  Ogre::SceneNode* node = object->getParentSceneNode();
  m_sceneManager->destroyManualObject(object);
  // The node was made for this object alone; keep it if others use it since.
  if (node && node->numAttachedObjects() == 0 && node->numChildren() == 0) {
    m_sceneManager->destroySceneNode(node);
  }
}

Ogre::Camera* MyOgre::camera() const { return m_camera; }

Ogre::SceneNode* MyOgre::cameraNode() const { return m_cameraNode; }

void MyOgre::setCameraDirection(const Ogre::Vector3& direction) {
  m_cameraNode->setDirection(direction, Ogre::Node::TS_WORLD);
}

void MyOgre::setMouseLook(double sensitivity, bool inverted) {
  m_lookSensitivity = sensitivity;
  m_invertedLook = inverted;
}
