#include "GamePages/ProtocolLook.h"

#include <cmath>

namespace GamePages {

float protocolYaw(float cameraYaw) {
  float yaw = std::fmod(180.0f - cameraYaw, 360.0f);
  if (yaw < 0)
    yaw += 360.0f;
  // A turn just short of a whole one rounds up to 360 in single precision.
  return yaw < 360.0f ? yaw : 0.0f;
}

// Adding zero turns a level look's -0 into 0, which the log prints plainly.
float protocolPitch(float cameraPitch) { return -cameraPitch + 0.0f; }

} // namespace GamePages
