#ifndef MEDIA_ENTITY_MESHES_H
#define MEDIA_ENTITY_MESHES_H

#include <string>

// Writes "robot.mesh", "ninja.mesh" and "sphere.mesh" into the folder. They
// stand on the origin, y up, and are modelled in hundredths of a block (the
// client shows entity meshes at a scale of 0.01): robot 1.85, ninja 1.9,
// sphere 1.6 blocks tall. All use the vertex-coloured material
// "Ferrowick/Entity"; their shading is baked into the vertex colours. Needs
// an engine root with a hardware buffer manager.
void writeEntityMeshes(const std::string& folder);

#endif
