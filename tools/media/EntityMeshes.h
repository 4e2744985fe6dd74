#ifndef MEDIA_ENTITY_MESHES_H
#define MEDIA_ENTITY_MESHES_H

#include <string>

// Writes "robot.mesh", "ninja.mesh" and "sphere.mesh" into the folder. They
// stand on the origin, y up, face +z, and are modelled in hundredths of a
// block (the client shows entity meshes at a scale of 0.01): robot 1.85,
// ninja 1.9, sphere 1.6 blocks tall. The robot and the ninja have a head
// that turns about the neck: the bone "head" of "robot.skeleton" and
// "ninja.skeleton", written beside them. All use the vertex-coloured
// material "Ferrowick/Entity"; their shading is baked into the vertex
// colours. Needs an engine root with a hardware buffer manager.
void writeEntityMeshes(const std::string& folder);

#endif
