#include <string>

#include "MyOgre.h"
#include "XWindowPointer.h"

void MyOgre::setTextureFiltering(Ogre::TextureFilterOptions filtering, unsigned int anisotropy) {
  Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
  materials.setDefaultTextureFiltering(filtering);
  materials.setDefaultAnisotropy(anisotropy);
}

namespace {
// Normalised viewport coordinate 0.004 per pixel of motion from the centre.
float lookOffset(double relative) { return static_cast<float>(0.5 + (relative / 50.0) * 0.2); }

// X11 reports 120 a notch; a smaller turn still counts as one.
int wheelNotches(int relative) {
  const int notches = relative / 120;
  return notches != 0 ? notches : (relative > 0 ? 1 : -1);
}
}  // namespace

void MyOgre::createInputSystem(bool pointerFree) {
  destroyInputSystem();

  unsigned long windowHandle = 0;
  m_window->getCustomAttribute("WINDOW", &windowHandle);
  OIS::ParamList parameters;
  parameters.insert({"WINDOW", std::to_string(windowHandle)});
  if (pointerFree) {
    parameters.insert({"x11_mouse_grab", "false"});
    parameters.insert({"x11_mouse_hide", "false"});
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
  if (state.Z.rel != 0 && m_listener) {
    m_listener->mouseWheel(wheelNotches(state.Z.rel));
  }
  if (m_pointerFree || (state.X.rel == 0 && state.Y.rel == 0)) {
    return true;  // a free pointer or the wheel alone: no look, no rounding drift
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

// Between captures, so that no input object is destroyed inside its own
// callback.
void MyOgre::applyPointerMode() {
  if (m_pointerWanted == m_pointerFree || !m_inputManager || m_window->isClosed()) {
    return;
  }
  createInputSystem(m_pointerWanted);
  m_pointerFree = m_pointerWanted;
  if (m_pointerFree) {
    void* display = nullptr;
    unsigned long window = 0;
    m_window->getCustomAttribute("XDISPLAY", &display);
    m_window->getCustomAttribute("WINDOW", &window);
    warpPointer(display, window,
                {static_cast<int>(m_window->getWidth() / 2), static_cast<int>(m_window->getHeight() / 2)});
  }
}

std::optional<Ogre::Vector2> MyOgre::pointerPosition() const {
  void* display = nullptr;
  unsigned long window = 0;
  m_window->getCustomAttribute("XDISPLAY", &display);
  m_window->getCustomAttribute("WINDOW", &window);
  const std::optional<PointerPosition> pointer = queryPointer(display, window);
  if (!pointer) {
    return std::nullopt;
  }
  return Ogre::Vector2(static_cast<float>(pointer->x), static_cast<float>(pointer->y));
}

bool MyOgre::isKeyDown(const OIS::KeyCode& key) {
  return m_inputManager && m_keyboard->isKeyDown(key);
}

bool MyOgre::isMouseButtonDown(const OIS::MouseButtonID& button) {
  return m_inputManager && m_mouse->getMouseState().buttonDown(button);
}
