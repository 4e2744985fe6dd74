// Writes the client's generated data files into the folder named by the one
// argument: the terrain pictures, the item pictures and the entity meshes.

#include <exception>
#include <filesystem>
#include <iostream>

#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreRoot.h>

#include "EntityMeshes.h"
#include "ItemPictures.h"
#include "TerrainImages.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " OUTPUT_FOLDER" << std::endl;
    return 2;
  }
  try {
    const std::string folder = argv[1];
    std::filesystem::create_directories(folder);
    writeTerrainImages(folder);
    writeItemPictures(folder);

    // Meshes are written without a render system, display or plug-ins.
    Ogre::LogManager logs;
    logs.createLog("", true, false, true);
    Ogre::Root root("", "", "");
    Ogre::DefaultHardwareBufferManager buffers;
    writeEntityMeshes(folder);
  } catch (const Ogre::Exception& e) {
    std::cerr << argv[0] << ": " << e.getFullDescription() << std::endl;
    return 1;
  } catch (const std::exception& e) {
    std::cerr << argv[0] << ": " << e.what() << std::endl;
    return 1;
  }
  return 0;
}
