#include <string>

#include "MyOgre.h"

void MyOgre::setTextureFiltering(Ogre::TextureFilterOptions filtering, unsigned int anisotropy) {
  Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
  materials.setDefaultTextureFiltering(filtering);
  materials.setDefaultAnisotropy(anisotropy);
}

namespace {
// Normalised viewport coordinate 0.004 per pixel of motion from the centre.
float lookOffset(double relative) { return static_cast<float>(0.5 + (relative / 50.0) * 0.2); }
}  // namespace

void MyOgre::createInputSystem(bool nonExclusive) {
  destroyInputSystem();

  unsigned long windowHandle = 0;
  m_window->getCustomAttribute("WINDOW", &windowHandle);
  OIS::ParamList parameters;
  parameters.insert({"WINDOW", std::to_string(windowHandle)});
  if (nonExclusive) {
    parameters.insert({"x11_mouse_grab", "false"});
    parameters.insert({"x11_mouse_hide", "false"});
    parameters.insert({"x11_keyboard_grab", "false"});
    parameters.insert({"XAutoRepeatOn", "true"});
  }

  m_inputManager = OIS::InputManager::createInputSystem(parameters);
  m_keyboard = static_cast<OIS::Keyboard*>(m_inputManager->createInputObject(OIS::OISKeyboard, true));
  m_mouse = static_cast<OIS::Mouse*>(m_inputManager->createInputObject(OIS::OISMouse, true));
  m_mouse->setEventCallback(this);
  m_keyboard->setEventCallback(this);
}

void MyOgre::destroyInputSystem() {
  if (!m_inputManager) {
    return;
  }
  m_inputManager->destroyInputObject(m_mouse);
  m_inputManager->destroyInputObject(m_keyboard);
  OIS::InputManager::destroyInputSystem(m_inputManager);
  m_inputManager = nullptr;
  m_mouse = nullptr;
  m_keyboard = nullptr;
}

bool MyOgre::keyPressed(const OIS::KeyEvent& event) {
  if (m_listener && m_listener->keyPressed(event)) {
    return true;
  }
  switch (event.key) {
    case OIS::KC_F1: setTextureFiltering(Ogre::TFO_TRILINEAR, 1); break;
    case OIS::KC_F2: setTextureFiltering(Ogre::TFO_ANISOTROPIC, 8); break;
    case OIS::KC_F3: setTextureFiltering(Ogre::TFO_NONE, 1); break;
    case OIS::KC_F4: setTextureFiltering(Ogre::TFO_BILINEAR, 1); break;
    case OIS::KC_F5: m_camera->setPolygonMode(Ogre::PM_WIREFRAME); break;
    case OIS::KC_F6: m_camera->setPolygonMode(Ogre::PM_POINTS); break;
    case OIS::KC_F7: m_camera->setPolygonMode(Ogre::PM_SOLID); break;
    case OIS::KC_F8: Ogre::TextureManager::getSingleton().reloadAll(true); break;
    case OIS::KC_F9: requestScreenshot(); break;
    default: break;
  }
  return true;
}

bool MyOgre::keyReleased(const OIS::KeyEvent& event) {
  if (m_listener) {
    m_listener->keyReleased(event);
  }
  return true;
}

bool MyOgre::mouseMoved(const OIS::MouseEvent& event) {
  const OIS::MouseState& state = event.state;
  if (state.X.rel == 0 && state.Y.rel == 0) {
    return true;  // the wheel alone: no look, no rounding drift
  }
  const double down = m_invertedLook ? -state.Y.rel : state.Y.rel;
  Ogre::Ray ray = m_camera->getCameraToViewportRay(lookOffset(state.X.rel * m_lookSensitivity),
                                                   lookOffset(down * m_lookSensitivity));
  setCameraDirection(ray.getDirection());
  return true;
}

bool MyOgre::mousePressed(const OIS::MouseEvent&, OIS::MouseButtonID id) {
  if (m_listener) {
    m_listener->mousePressed(id);
  }
  return true;
}

bool MyOgre::mouseReleased(const OIS::MouseEvent&, OIS::MouseButtonID id) {
  if (m_listener) {
    m_listener->mouseReleased(id);
  }
  return true;
}

bool MyOgre::isKeyDown(const OIS::KeyCode& key) {
  return m_inputManager && m_keyboard->isKeyDown(key);
}

bool MyOgre::isMouseButtonDown(const OIS::MouseButtonID& button) {
  return m_inputManager && m_mouse->getMouseState().buttonDown(button);
}
