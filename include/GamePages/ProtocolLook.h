#ifndef GAME_PAGES_PROTOCOL_LOOK_H
#define GAME_PAGES_PROTOCOL_LOOK_H

// The player's look as the protocol carries it, in degrees: yaw 0 looking
// along +z and 90 along -x, pitch positive looking down. The camera keeps the
// engine's convention: yaw 0 looking along -z, turning counter-clockwise
// seen from above, pitch positive looking up.

namespace GamePages {

// The protocol's yaw for the camera's, within [0, 360).
float protocolYaw(float cameraYaw);
float protocolPitch(float cameraPitch);

} // namespace GamePages

#endif
