#include "CopiedOgreException.h"

CopiedOgreException::CopiedOgreException(const Ogre::Exception& original)
    : Ogre::Exception(0, original.getDescription(), original.getSource()),
      m_fullDescription(original.getFullDescription()) {}

const Ogre::String& CopiedOgreException::getFullDescription() const { return m_fullDescription; }
