#ifndef MY_OGRE_H
#define MY_OGRE_H

// The render and input shell: engine root, window, scene manager, the player
// camera "PlayerCam", keyboard and mouse, and the scene services used by the
// world and the entities. The game page owns one and listens to it.

#include <memory>
#include <optional>
#include <string>

#include <OIS.h>
#include <Ogre.h>
#include <OgreWindowEventUtilities.h>

#include "ShellFiles.h"
#include "ShellListener.h"
#include "Sky.h"

namespace Ogre {
class OverlaySystem;
}

class MyOgre : public Ogre::FrameListener,
               public OgreBites::WindowEventListener,
               public OIS::KeyListener,
               public OIS::MouseListener {
public:
  // Reads the engine's files and writes its log where `files` says. Throws
  // Ogre::Exception (with its text copied, so that it outlives the engine) or
  // the C string "cancelled configuration".
  explicit MyOgre(const ShellFiles& files = ShellFiles());
  virtual ~MyOgre();

  MyOgre(const MyOgre&) = delete;
  MyOgre& operator=(const MyOgre&) = delete;

  // Keys go to the listener first; the window's end is told to it. It must
  // outlive the shell or be unset.
  void setListener(ShellListener* listener) { m_listener = listener; }

  // Pumps the window messages and delivers the keys and mouse motion that
  // came since the last call. A window that went away is reported through
  // windowClosed().
  void pumpInput();
  // Renders one frame; false once the window is gone (or a frame listener
  // asked to stop).
  bool renderFrame();
  // pumpInput(), then with render set renderFrame().
  bool update(bool render);
  // The next frame is written into a time-stamped "screenshot" file in the
  // screenshots' folder, also when the window is covered or minimised; its
  // path is printed, or on standard error why it could not be written.
  void requestScreenshot() { m_screenshotRequested = true; }

  bool frameRenderingQueued(const Ogre::FrameEvent& event) override;

  bool keyPressed(const OIS::KeyEvent& event) override;
  bool keyReleased(const OIS::KeyEvent& event) override;
  bool mouseMoved(const OIS::MouseEvent& event) override;
  bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;
  bool mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;

  void windowResized(Ogre::RenderWindow* window) override;
  // Called once the window is gone; tells the listener.
  virtual void windowClosed();
  void windowClosed(Ogre::RenderWindow* closed) override;

  // Key and button state as of the last pumpInput(); false without input.
  bool isKeyDown(const OIS::KeyCode& key);
  bool isMouseButtonDown(const OIS::MouseButtonID& button);

  // Frees the pointer (shown, not held in the window, the look no longer
  // following it; it starts at the window's centre) or takes it back for
  // the look. Done as the next frame is drawn, outside the input's
  // callbacks.
  void freePointer(bool free) { m_pointerWanted = free; }
  bool pointerFree() const { return m_pointerFree; }
  // Where the pointer is, in pixels from the window's top left corner;
  // none when the display cannot say.
  std::optional<Ogre::Vector2> pointerPosition() const;

  // Filtering of every texture unit that keeps the default (F1 to F4 too).
  static void setTextureFiltering(Ogre::TextureFilterOptions filtering, unsigned int anisotropy);

  // A mesh entity on a new child node of the root node at the origin; the
  // caller places the node and hands it back to eraseMesh.
  Ogre::SceneNode* createMesh(std::string meshName);
  void eraseMesh(Ogre::SceneNode* node);
  // An unnamed manual object on its own child node of the root node.
  Ogre::ManualObject* createManualObject();
  // Destroys the object and the node createManualObject made for it.
  void eraseManualObject(Ogre::ManualObject* object);

  // The player camera hangs from cameraNode(), a child of the root node: its
  // position is the eye in world units (cameraNode()->getPosition(),
  // setPosition(), translate() move it in world space), its orientation is
  // the look (getOrientation().getYaw()/getPitch(); yaw about world y, 0
  // looking along -z). The node keeps a fixed yaw axis, so turns never roll.
  Ogre::Camera* camera() const;
  Ogre::SceneNode* cameraNode() const;
  // Points the camera along a world-space direction.
  void setCameraDirection(const Ogre::Vector3& direction);

  // Mouse look turns by the sensitivity times the default per pixel;
  // inverted, moving the mouse down looks up.
  void setMouseLook(double sensitivity, bool inverted);

  // The background behind the world (black unless told otherwise).
  Sky& sky() { return *m_sky; }

  Ogre::Root& root() { return m_root; }
  Ogre::RenderWindow* window() const { return m_window; }
  Ogre::SceneManager* sceneManager() const { return m_sceneManager; }

protected:
  // The keyboard is always the window's; a free pointer is neither held in
  // the window nor hidden.
  void createInputSystem(bool pointerFree);

  Ogre::Root m_root;
  Ogre::RenderWindow* m_window;
  Ogre::SceneManager* m_sceneManager;
  Ogre::Camera* m_camera;
  OIS::InputManager* m_inputManager;
  OIS::Mouse* m_mouse;
  OIS::Keyboard* m_keyboard;
  Ogre::SceneNode* m_cameraNode;

private:
  void buildShell();
  void loadPlugins();
  void restoreOrAskConfiguration();
  void loadResourceLocations();
  void writeScreenshot();
  void createCamera();
  void destroyInputSystem();
  void releaseWindow();
  void applyPointerMode();

  // The engine's overlays (text and the heads-up display) on the scene;
  // released before the root.
  std::unique_ptr<Ogre::OverlaySystem> m_overlaySystem;
  std::unique_ptr<Sky> m_sky;
  double m_lookSensitivity = 1.0;
  bool m_invertedLook = false;
  bool m_screenshotRequested = false;
  bool m_pointerWanted = false;
  bool m_pointerFree = false;
  ShellListener* m_listener = nullptr;
  const ShellFiles m_files;
};

#endif
