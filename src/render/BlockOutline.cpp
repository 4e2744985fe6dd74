#include "BlockOutline.h"

#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>

#include "MyOgre.h"

namespace {

const char* const MaterialName = "BlockOutline";
// A little larger than the cell, so that its lines are not hidden in the
// block's own surface.
const float Grow = 0.004f;

const Ogre::String& group() { return Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME; }

void createMaterial() {
  Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
  if (materials.resourceExists(MaterialName, group()))
    return;
  Ogre::Pass* pass = materials.create(MaterialName, group())->getTechnique(0)->getPass(0);
  pass->setLightingEnabled(false);
  pass->setVertexColourTracking(Ogre::TVC_DIFFUSE);
}

// The twelve edges of the unit cube, grown a little.
void drawEdges(Ogre::ManualObject& box) {
  const float low = -Grow;
  const float high = 1 + Grow;
  const auto corner = [&](int index) {
    return Ogre::Vector3(index & 1 ? high : low, index & 2 ? high : low, index & 4 ? high : low);
  };
  box.begin(MaterialName, Ogre::RenderOperation::OT_LINE_LIST, group());
  for (int from = 0; from < 8; ++from)
    for (int bit : {1, 2, 4})
      if (!(from & bit)) {
        for (int end : {from, from | bit}) {
          box.position(corner(end));
          box.colour(0.05f, 0.05f, 0.05f);
        }
      }
  box.end();
}

} // namespace

BlockOutline::BlockOutline(MyOgre& shell) : m_shell(shell), m_box(shell.createManualObject()) {
  createMaterial();
  drawEdges(*m_box);
  m_box->setVisible(false);
}

BlockOutline::~BlockOutline() { m_shell.eraseManualObject(m_box); }

void BlockOutline::show(const std::optional<Vox::Vector3DInt32>& block) {
  m_box->setVisible(block.has_value());
  if (block)
    m_box->getParentSceneNode()->setPosition(float(block->x), float(block->y), float(block->z));
}

bool BlockOutline::visible() const { return m_box->getVisible(); }
