#include "GamePages/ControlLayout.h"

namespace GamePages {

MovementKeys controlLayout(const std::string& name) {
  if (name == "neo2")
    return {OIS::KC_L, OIS::KC_A, OIS::KC_E, OIS::KC_I, OIS::KC_SPACE, OIS::KC_U};
  if (name == "wasd")
    return {OIS::KC_W, OIS::KC_S, OIS::KC_D, OIS::KC_A, OIS::KC_SPACE, OIS::KC_LSHIFT};
  return {OIS::KC_UP, OIS::KC_DOWN, OIS::KC_RIGHT, OIS::KC_LEFT, OIS::KC_SPACE, OIS::KC_LSHIFT};
}

} // namespace GamePages
