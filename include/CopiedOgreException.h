#ifndef COPIED_OGRE_EXCEPTION_H
#define COPIED_OGRE_EXCEPTION_H

// An engine exception that owns all of its text. One thrown inside a plug-in
// points into the plug-in's memory, which goes away with the engine root;
// this copy stays readable afterwards.

#include <OgreException.h>

class CopiedOgreException : public Ogre::Exception {
public:
  explicit CopiedOgreException(const Ogre::Exception& original);

  const Ogre::String& getFullDescription() const override;

private:
  Ogre::String m_fullDescription;
};

#endif
