#ifndef MEDIA_ENTITY_MESHES_H
#define MEDIA_ENTITY_MESHES_H

#include <string>

// Writes "robot.mesh", "ninja.mesh", "sphere.mesh", "player.mesh" and
// "held-block.mesh" into the folder. They stand on the origin, y up, face +z, and are modelled in
// hundredths of a block (the client shows entity meshes at a scale of 0.01):
// robot 1.85, ninja 1.9, sphere 1.6, player 1.72 blocks tall. The robot, the
// ninja and the player have a head that turns about the neck: the bone
// "head" of "robot.skeleton", "ninja.skeleton" and "player.skeleton",
// written beside them. The player's arms and legs swing about the shoulders
// and hips: the bones "leftArm", "rightArm", "leftLeg" and "rightLeg" (its
// left is +x), the shoulders 138 and the hips 74 above the ground. The
// others use the vertex-coloured material "Ferrowick/Entity", the player
// "Ferrowick/Player" with its picture "player.jpg", written here too. The
// held block is a cube 0.24 blocks wide about the origin, showing the
// picture of "Ferrowick/HeldItem" whole on each face. The shading is baked
// into the vertex colours. Needs an engine root with a
// hardware buffer manager.
void writeEntityMeshes(const std::string& folder);

#endif
