#include "EntityMeshes.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <OgreBone.h>
#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreMeshSerializer.h>
#include <OgreResourceGroupManager.h>
#include <OgreSkeleton.h>
#include <OgreSkeletonManager.h>
#include <OgreSkeletonSerializer.h>
#include <OgreSubMesh.h>

#include "PlayerPicture.h"

namespace {
const char* const kMaterial = "Ferrowick/Entity";
const char* const kPlayerMaterial = "Ferrowick/Player";
const char* const kHeldMaterial = "Ferrowick/HeldItem";
// Bones of the meshes that move in parts: the body, the head that turns
// about the neck, and the player's limbs that swing about the shoulders and
// hips.
const unsigned short kBody = 0;
const unsigned short kHead = 1;
const unsigned short kLeftArm = 2;
const unsigned short kRightArm = 3;
const unsigned short kLeftLeg = 4;
const unsigned short kRightLeg = 5;
const Ogre::Vector3 kLight = Ogre::Vector3(0.4f, 0.8f, 0.45f).normalisedCopy();

// The shading a face with this normal gets under the fixed light.
Ogre::ColourValue shaded(const Ogre::ColourValue& colour, const Ogre::Vector3& normal) {
  const float light = 0.45f + 0.55f * std::max(0.0f, normal.dotProduct(kLight));
  return Ogre::ColourValue(colour.r * light, colour.g * light, colour.b * light);
}

// Appends vertices and triangles to one section of a manual object, winding
// every face counter-clockwise as seen from outside.
class ShapeBuilder {
public:
  explicit ShapeBuilder(Ogre::ManualObject& object) : m_object(object) {}

  // The bone the following shapes move with.
  void bone(unsigned short bone) { m_bone = bone; }
  // The bone of each vertex, in vertex order.
  const std::vector<unsigned short>& bones() const { return m_bones; }

  // A box in one colour, or with a picture's regions on its faces (then
  // every shape of the object needs one).
  void box(const Ogre::Vector3& low, const Ogre::Vector3& high, const Ogre::ColourValue& colour,
           const BoxPicture* picture = nullptr) {
    Ogre::Vector3 corners[8];
    for (int i = 0; i < 8; ++i) {
      corners[i] = Ogre::Vector3(i & 1 ? high.x : low.x, i & 2 ? high.y : low.y, i & 4 ? high.z : low.z);
    }
    const int faces[6][4] = {{0, 2, 6, 4}, {1, 3, 7, 5}, {0, 1, 5, 4},
                             {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 5, 7, 6}};
    const Ogre::Vector3 centre = (low + high) * 0.5f;
    for (const auto& face : faces) {
      const Ogre::Vector3 middle =
          (corners[face[0]] + corners[face[1]] + corners[face[2]] + corners[face[3]]) * 0.25f;
      const Ogre::Vector3 outward = (middle - centre).normalisedCopy();
      const Ogre::uint32 first = m_object.getCurrentVertexCount();
      for (int k = 0; k < 4; ++k) {
        vertex(corners[face[k]], outward, colour);
        if (picture) {
          const Ogre::Vector2 at = pictureCoordinates(*picture, corners[face[k]], low, high, outward);
          m_object.textureCoord(at.x, at.y);
        }
      }
      triangle(first, first + 1, first + 2, outward);
      triangle(first, first + 2, first + 3, outward);
    }
  }

  void sphere(const Ogre::Vector3& centre, float radius, const Ogre::ColourValue& colour) {
    const int rings = 16;
    const int segments = 24;
    const Ogre::uint32 first = m_object.getCurrentVertexCount();
    for (int ring = 0; ring <= rings; ++ring) {
      const float polar = Ogre::Math::PI * ring / rings;
      for (int segment = 0; segment <= segments; ++segment) {
        const float azimuth = Ogre::Math::TWO_PI * segment / segments;
        const Ogre::Vector3 normal(std::sin(polar) * std::cos(azimuth), std::cos(polar),
                                   std::sin(polar) * std::sin(azimuth));
        vertex(centre + normal * radius, normal, colour);
      }
    }
    const Ogre::uint32 row = segments + 1;
    for (int ring = 0; ring < rings; ++ring) {
      for (int segment = 0; segment < segments; ++segment) {
        const Ogre::uint32 a = first + ring * row + segment;
        const Ogre::uint32 b = a + row;
        const Ogre::Vector3 outward = (position(a) + position(b + 1)) * 0.5f - centre;
        if (ring != 0) {
          triangle(a, a + 1, b + 1, outward);
        }
        if (ring != rings - 1) {
          triangle(a, b + 1, b, outward);
        }
      }
    }
  }

private:
  // Where a corner of a face lies in the face's region: the picture stands
  // upright on the sides, the front faces +z, and the top and bottom are
  // seen from above with the front down.
  static Ogre::Vector2 pictureCoordinates(const BoxPicture& picture, const Ogre::Vector3& corner,
                                          const Ogre::Vector3& low, const Ogre::Vector3& high,
                                          const Ogre::Vector3& outward) {
    const Ogre::Vector3 size = high - low;
    const Ogre::Vector3 along = (corner - low) / size;
    PictureRegion region = picture.side;
    float u = along.x;
    float v = 1 - along.y;
    if (outward.y > 0.5f) {
      region = picture.top;
      v = along.z;
    } else if (outward.y < -0.5f) {
      region = picture.bottom;
      v = along.z;
    } else if (std::fabs(outward.x) > 0.5f) {
      u = outward.x > 0 ? 1 - along.z : along.z;
    } else {
      region = outward.z > 0 ? picture.front : picture.back;
      u = outward.z > 0 ? along.x : 1 - along.x;
    }
    return Ogre::Vector2(region.left + u * (region.right - region.left),
                         region.top + v * (region.bottom - region.top));
  }

  Ogre::uint32 vertex(const Ogre::Vector3& at, const Ogre::Vector3& normal, const Ogre::ColourValue& colour) {
    m_positions.push_back(at);
    m_bones.push_back(m_bone);
    m_object.position(at);
    m_object.normal(normal);
    m_object.colour(shaded(colour, normal));
    return m_object.getCurrentVertexCount() - 1;
  }

  const Ogre::Vector3& position(Ogre::uint32 index) const { return m_positions[index]; }

  void triangle(Ogre::uint32 a, Ogre::uint32 b, Ogre::uint32 c, const Ogre::Vector3& outward) {
    const Ogre::Vector3 facing = (position(b) - position(a)).crossProduct(position(c) - position(a));
    if (facing.dotProduct(outward) >= 0) {
      m_object.triangle(a, b, c);
    } else {
      m_object.triangle(a, c, b);
    }
  }

  Ogre::ManualObject& m_object;
  std::vector<Ogre::Vector3> m_positions;
  std::vector<unsigned short> m_bones;
  unsigned short m_bone = kBody;
};

using Shape = void (*)(ShapeBuilder&);

const Ogre::ColourValue kSteel(0.45f, 0.55f, 0.70f);
const Ogre::ColourValue kIron(0.35f, 0.37f, 0.40f);
const Ogre::ColourValue kSilver(0.78f, 0.78f, 0.82f);
const Ogre::ColourValue kSignalRed(0.90f, 0.15f, 0.10f);
const Ogre::ColourValue kCloth(0.13f, 0.13f, 0.16f);
const Ogre::ColourValue kSash(0.75f, 0.10f, 0.10f);
const Ogre::ColourValue kSkin(0.90f, 0.72f, 0.58f);
const Ogre::ColourValue kGold(0.85f, 0.75f, 0.35f);

// A squat, boxy machine: legs, wide torso, arms, head with a visor, antenna.
void robot(ShapeBuilder& shape) {
  using V = Ogre::Vector3;
  shape.box(V(-30, 0, -12), V(-6, 70, 12), kIron);
  shape.box(V(6, 0, -12), V(30, 70, 12), kIron);
  shape.box(V(-36, 70, -20), V(36, 135, 20), kSteel);
  shape.box(V(-50, 75, -10), V(-38, 130, 10), kIron);
  shape.box(V(38, 75, -10), V(50, 130, 10), kIron);
  shape.bone(kHead);
  shape.box(V(-22, 138, -20), V(22, 170, 20), kSilver);
  shape.box(V(-16, 150, 20), V(16, 160, 22), kSignalRed);
  shape.box(V(-2, 170, -2), V(2, 185, 2), kSignalRed);
}

// A slim dark figure with a red sash, an eye slit and a sword on its back.
void ninja(ShapeBuilder& shape) {
  using V = Ogre::Vector3;
  shape.box(V(-18, 0, -9), V(-3, 85, 9), kCloth);
  shape.box(V(3, 0, -9), V(18, 85, 9), kCloth);
  shape.box(V(-24, 85, -13), V(24, 145, 13), kCloth);
  shape.box(V(-25, 88, -14), V(25, 96, 14), kSash);
  shape.box(V(-34, 90, -7), V(-26, 142, 7), kCloth);
  shape.box(V(26, 90, -7), V(34, 142, 7), kCloth);
  shape.box(V(-2, 95, -17), V(2, 190, -14), kSilver);
  shape.bone(kHead);
  shape.box(V(-14, 148, -14), V(14, 180, 14), kCloth);
  shape.box(V(-12, 160, 14), V(12, 166, 15), kSkin);
}

// A ball resting on the origin.
void ball(ShapeBuilder& shape) { shape.sphere(Ogre::Vector3(0, 80, 0), 80, kGold); }

// A person in a shirt and trousers, arms at the sides, in the colours of
// "player.jpg": the head, the arms and the legs each move with a bone of
// their own.
void person(ShapeBuilder& shape) {
  using V = Ogre::Vector3;
  const Ogre::ColourValue white = Ogre::ColourValue::White;
  shape.box(V(-14, 74, -8), V(14, 142, 8), white, &PlayerPicture::Body);
  shape.bone(kHead);
  shape.box(V(-15, 142, -15), V(15, 172, 15), white, &PlayerPicture::Head);
  shape.bone(kLeftArm);
  shape.box(V(14, 72, -6), V(25, 142, 6), white, &PlayerPicture::Arm);
  shape.bone(kRightArm);
  shape.box(V(-25, 72, -6), V(-14, 142, 6), white, &PlayerPicture::Arm);
  shape.bone(kLeftLeg);
  shape.box(V(1, 0, -6), V(13, 74, 6), white, &PlayerPicture::Leg);
  shape.bone(kRightLeg);
  shape.box(V(-13, 0, -6), V(-1, 74, 6), white, &PlayerPicture::Leg);
}

// A small block as a hand holds it, its picture whole on every face, centred
// on the origin.
void heldBlock(ShapeBuilder& shape) {
  const PictureRegion whole{0, 0, 1, 1};
  const BoxPicture picture{whole, whole, whole, whole, whole};
  shape.box(Ogre::Vector3(-12, -12, -12), Ogre::Vector3(12, 12, 12), Ogre::ColourValue::White,
            &picture);
}

// A bone of a skeleton besides the body's: its handle, name and pivot.
struct BonePivot {
  unsigned short handle;
  const char* name;
  Ogre::Vector3 pivot;
};

// A skeleton of a body bone at the origin and the given bones, each hung
// from the body at its pivot, in the binding pose; the mesh moves with it.
void addSkeleton(const std::string& folder, const std::string& name, Ogre::Mesh& mesh,
                 const std::vector<unsigned short>& bones, const std::vector<BonePivot>& pivots) {
  // A manual skeleton marked loaded: only a loaded one frees its bones when
  // it goes.
  Ogre::SkeletonPtr skeleton = Ogre::SkeletonManager::getSingleton().create(
      name, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME, true);
  skeleton->load();
  Ogre::Bone* body = skeleton->createBone("body", kBody);
  for (const BonePivot& pivot : pivots) {
    Ogre::Bone* bone = skeleton->createBone(pivot.name, pivot.handle);
    body->addChild(bone);
    bone->setPosition(pivot.pivot);
  }
  skeleton->setBindingPose();
  mesh._notifySkeleton(skeleton);

  Ogre::SubMesh* part = mesh.getSubMesh(0);
  for (std::size_t vertex = 0; vertex < bones.size(); ++vertex) {
    part->addBoneAssignment(
        Ogre::VertexBoneAssignment{static_cast<unsigned int>(vertex), bones[vertex], 1.0f});
  }
  mesh._compileBoneAssignments();
  // Skinning rewrites positions and normals: they need a buffer of their own,
  // or the colours are lost and the mesh shows black.
  Ogre::VertexData* vertices = part->vertexData;
  vertices->reorganiseBuffers(vertices->vertexDeclaration->getAutoOrganisedDeclaration(true, false, false));

  Ogre::SkeletonSerializer().exportSkeleton(skeleton.get(), folder + "/" + name);
  Ogre::SkeletonManager::getSingleton().remove(skeleton);
}

struct EntityShape {
  const char* mesh;
  Shape shape;
  const char* material;
  // The skeleton's file and its bones besides the body, for the meshes that
  // move in parts.
  const char* skeleton;
  std::vector<BonePivot> bones;
};

void exportMesh(const std::string& folder, const EntityShape& entity) {
  Ogre::ManualObject object(entity.mesh);
  object.begin(entity.material, Ogre::RenderOperation::OT_TRIANGLE_LIST);
  ShapeBuilder builder(object);
  entity.shape(builder);
  object.end();
  Ogre::MeshPtr mesh = object.convertToMesh(entity.mesh);
  if (entity.skeleton) {
    addSkeleton(folder, entity.skeleton, *mesh, builder.bones(), entity.bones);
  }
  Ogre::MeshSerializer().exportMesh(mesh.get(), folder + "/" + entity.mesh);
  Ogre::MeshManager::getSingleton().remove(mesh);
}
}  // namespace

void writeEntityMeshes(const std::string& folder) {
  // There is no default material without a render system; the meshes only
  // record the names, the client's material script defines them.
  Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
  const Ogre::String& group = Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME;
  const Ogre::MaterialPtr stubs[] = {materials.create(kMaterial, group),
                                     materials.create(kPlayerMaterial, group),
                                     materials.create(kHeldMaterial, group)};
  const EntityShape entities[] = {
      {"robot.mesh", robot, kMaterial, "robot.skeleton", {{kHead, "head", {0, 136, 0}}}},
      {"ninja.mesh", ninja, kMaterial, "ninja.skeleton", {{kHead, "head", {0, 146, 0}}}},
      {"sphere.mesh", ball, kMaterial, nullptr, {}},
      {"player.mesh", person, kPlayerMaterial, "player.skeleton",
       {{kHead, "head", {0, 142, 0}},
        {kLeftArm, "leftArm", {19.5f, 138, 0}},
        {kRightArm, "rightArm", {-19.5f, 138, 0}},
        {kLeftLeg, "leftLeg", {7, 74, 0}},
        {kRightLeg, "rightLeg", {-7, 74, 0}}}},
      {"held-block.mesh", heldBlock, kHeldMaterial, nullptr, {}},
  };
  for (const EntityShape& entity : entities) {
    exportMesh(folder, entity);
  }
  for (const Ogre::MaterialPtr& stub : stubs)
    materials.remove(stub);
  writePlayerPicture(folder);
}
