#ifndef TS_PACKET_CATALOGUE_H
#define TS_PACKET_CATALOGUE_H

#include "ProtocolConstants.h"

// The protocol's packet catalogue, one row per packet:
//
//   X(id, Class, Read, Write, Dispatch, fields)
//
// Read and Write say what parse and writeToStream do:
//   Fields       the fields below, in this order, through TSDataTypes
//   Custom       written by hand in TSPackets.cpp (field orders, tails, lists)
//   Nothing      writeToStream writes nothing
//   NotCall      throws "I'm a client, I don't call this"
//   NotSend      throws "I'm a client, I don't send this"
//   NeverReceive throws "I'm a client, I never receive this"
// Dispatch says whether the receive loop dispatches the id (Dispatched) or
// treats it as an unknown message type (Unknown).
//
// A field is (Kind, member) or (Kind, member, default). Kinds are the wire
// types of TSDataTypes; the list kinds at the end of TSPackets.h are filled
// by Custom readers only. Members are declared in the order given here;
// where the wire order differs (the position packets), the Custom reader and
// writer say so.

#define TS_PACKET_CATALOGUE(X)                                                                        \
  X(0x00, Ping, Fields, Fields, Dispatched, ((Int, keepAliveId)))                                     \
  X(0x01, Login, Fields, Fields, Dispatched,                                                          \
    ((Int, entityId, TSProtocol::Version))((String16, userName))((Long, mapSeed))                     \
    ((Int, serverMode))                                                                               \
    ((Byte, dimension))((Byte, difficulty))((Byte, worldHeight))((Byte, maxPlayers)))                 \
  X(0x02, HandShake, Fields, Fields, Dispatched, ((String16, connectionHash)))                        \
  X(0x03, ChatMessage, Fields, Custom, Dispatched, ((String16, message)))                             \
  X(0x04, TimeUpdate, Fields, Fields, Dispatched, ((Long, time)))                                     \
  X(0x05, EntityEquipment, Fields, NotCall, Dispatched,                                               \
    ((Int, entityId))((Short, slot))((Short, itemId))((Short, damage)))                               \
  X(0x06, SpawnPoint, Fields, Fields, Dispatched, ((Int, x))((Int, y))((Int, z)))                     \
  X(0x07, UseEntity, Fields, Fields, Dispatched,                                                      \
    ((Int, userEntityId))((Int, targetEntityId))((Bool, leftClick)))                                  \
  X(0x08, UpdateHealth, Fields, NotSend, Dispatched,                                                  \
    ((Short, health))((Short, food))((Float, saturation)))                                            \
  X(0x09, Respawn, Fields, Fields, Dispatched,                                                        \
    ((Byte, dimension))((Byte, difficulty))((Byte, creativeMode))((Short, worldHeight))               \
    ((Long, mapSeed)))                                                                                \
  X(0x0A, Player, NeverReceive, Fields, Unknown, ((Bool, onGround)))                                  \
  X(0x0B, PlayerPosition, Custom, Custom, Dispatched,                                                 \
    ((Double, x))((Double, y))((Double, z))((Double, stance))((Bool, onGround)))                      \
  X(0x0C, PlayerLook, Fields, Fields, Unknown, ((Float, yaw))((Float, pitch))((Bool, onGround)))      \
  X(0x0D, PlayerPosAndLook, Custom, Custom, Dispatched,                                               \
    ((Double, x))((Double, y))((Double, z))((Double, stance))((Float, yaw))((Float, pitch))           \
    ((Bool, onGround)))                                                                               \
  X(0x0E, PlayerDig, Fields, Fields, Dispatched,                                                      \
    ((Byte, status))((Int, x))((Byte, y))((Int, z))((Byte, face)))                                    \
  X(0x0F, PlayerBlockPlace, Custom, Custom, Unknown,                                                  \
    ((Int, x))((Byte, y))((Int, z))((Byte, direction))((Short, itemId))((Byte, itemCount))            \
    ((Short, damage)))                                                                                \
  X(0x10, PlayerHoldingChange, Fields, Fields, Unknown, ((Short, slot)))                              \
  X(0x11, UseBed, Fields, Nothing, Dispatched,                                                        \
    ((Int, entityId))((Byte, inBed))((Int, x))((Byte, y))((Int, z)))                                  \
  X(0x12, Animation, Fields, Fields, Dispatched, ((Int, entityId))((Byte, animation)))                \
  X(0x13, EntityAction, Fields, Fields, Unknown, ((Int, entityId))((Byte, action)))                   \
  X(0x14, NamedEntitySpawn, Fields, NotSend, Dispatched,                                              \
    ((Int, entityId))((String16, name))((Int, x))((Int, y))((Int, z))((Byte, yaw))((Byte, pitch))     \
    ((Short, currentItem)))                                                                           \
  X(0x15, PickupSpawn, Fields, Fields, Dispatched,                                                    \
    ((Int, entityId))((Short, itemId))((Byte, count))((Short, damage))((Int, x))((Int, y))            \
    ((Int, z))((Byte, rotation))((Byte, pitch))((Byte, roll)))                                        \
  X(0x16, CollectItem, Fields, NotCall, Dispatched,                                                   \
    ((Int, collectedEntityId))((Int, collectorEntityId)))                                             \
  X(0x17, AddObject, Custom, NotCall, Dispatched,                                                     \
    ((Int, entityId))((Byte, type))((Int, x))((Int, y))((Int, z))((Int, flag))((Short, speedX))       \
    ((Short, speedY))((Short, speedZ)))                                                               \
  X(0x18, MobSpawn, Fields, Fields, Dispatched,                                                       \
    ((Int, entityId))((Byte, mobType))((Int, x))((Int, y))((Int, z))((Byte, yaw))((Byte, pitch))      \
    ((Meta, metadata)))                                                                               \
  X(0x19, EntityPainting, Fields, Fields, Dispatched,                                                 \
    ((Int, entityId))((String16, title))((Int, x))((Int, y))((Int, z))((Int, direction)))             \
  X(0x1A, ExperienceOrb, Fields, Nothing, Dispatched,                                                 \
    ((Int, entityId))((Int, x))((Int, y))((Int, z))((Short, count)))                                  \
  X(0x1B, Unknown0x1B, Fields, Nothing, Unknown,                                                      \
    ((Float, value1))((Float, value2))((Float, value3))((Float, value4))((Bool, flag1))               \
    ((Bool, flag2)))                                                                                  \
  X(0x1C, EntityVelocity, Fields, Fields, Dispatched,                                                 \
    ((Int, entityId))((Short, velocityX))((Short, velocityY))((Short, velocityZ)))                    \
  X(0x1D, DestroyEntity, Fields, NotCall, Dispatched, ((Int, entityId)))                              \
  X(0x1E, Entity, Fields, NotCall, Dispatched, ((Int, entityId)))                                     \
  X(0x1F, EntityRelativeMove, Fields, NotCall, Dispatched,                                            \
    ((Int, entityId))((Byte, dx))((Byte, dy))((Byte, dz)))                                            \
  X(0x20, EntityLook, Fields, NotCall, Dispatched, ((Int, entityId))((Byte, yaw))((Byte, pitch)))     \
  X(0x21, EntityLookAndMove, Fields, NotCall, Dispatched,                                             \
    ((Int, entityId))((Byte, dx))((Byte, dy))((Byte, dz))((Byte, yaw))((Byte, pitch)))                \
  X(0x22, EntityTeleport, Fields, NotCall, Dispatched,                                                \
    ((Int, entityId))((Int, x))((Int, y))((Int, z))((Byte, yaw))((Byte, pitch)))                      \
  X(0x26, EntityStatus, Fields, NotCall, Dispatched, ((Int, entityId))((Byte, status)))               \
  X(0x27, AttachEntity, Fields, Fields, Dispatched, ((Int, entityId))((Int, vehicleEntityId)))        \
  X(0x28, EntityMetadata, Fields, Fields, Dispatched, ((Int, entityId))((Meta, metadata)))            \
  X(0x29, EntityEffect, Fields, Nothing, Dispatched,                                                  \
    ((Int, entityId))((Byte, effect))((Byte, amplifier))((Short, duration)))                          \
  X(0x2A, RemoveEntityEffect, Fields, Nothing, Dispatched, ((Int, entityId))((Byte, effect)))         \
  X(0x2B, Experience, Fields, Nothing, Dispatched,                                                    \
    ((Byte, experience))((Byte, level))((Short, totalExperience)))                                    \
  X(0x32, Prechunk, Fields, Fields, Dispatched, ((Int, chunkX))((Int, chunkZ))((Byte, mode)))         \
  X(0x33, MapChunk, Custom, NotCall, Dispatched,                                                      \
    ((Int, x))((Short, y))((Int, z))((Byte, sizeX))((Byte, sizeY))((Byte, sizeZ))                     \
    ((ByteList, type))((ByteList, metadata))((ByteList, blockLight))((ByteList, skyLight)))           \
  X(0x34, MultiBlockChange, Custom, NotCall, Dispatched,                                              \
    ((Int, chunkX))((Int, chunkZ))((Short, count))((ByteList, blockX))((ByteList, blockY))            \
    ((ByteList, blockZ))((ByteList, types))((ByteList, metadata)))                                    \
  X(0x35, BlockChange, Fields, Fields, Dispatched,                                                    \
    ((Int, x))((Byte, y))((Int, z))((Byte, blockType))((Byte, metadata)))                             \
  X(0x36, BlockAction, Fields, NotCall, Dispatched,                                                   \
    ((Int, x))((Short, y))((Int, z))((Byte, instrument))((Byte, pitch)))                              \
  X(0x3C, Explosion, Custom, NotCall, Dispatched,                                                     \
    ((Int, x))((IntFromByte, y))((Int, z))((Float, radius))((OffsetList, records)))                   \
  X(0x3D, Sound, Fields, Nothing, Dispatched,                                                         \
    ((Int, effect))((Int, x))((Byte, y))((Int, z))((Int, data)))                                      \
  X(0x46, StateChange, Fields, Fields, Dispatched, ((Byte, reason))((Byte, gameMode)))                \
  X(0x47, Thunderbolt, Fields, Nothing, Dispatched,                                                   \
    ((Int, entityId))((Bool, flag))((Int, x))((Int, y))((Int, z)))                                    \
  X(0x64, OpenWindow, Fields, NotCall, Dispatched,                                                    \
    ((Byte, windowId))((Byte, inventoryType))((String16, title))((Byte, slotCount)))                  \
  X(0x65, CloseWindow, Fields, Fields, Dispatched, ((Byte, windowId)))                                \
  X(0x66, WindowClick, Custom, Custom, Unknown,                                                       \
    ((Byte, windowId))((Short, slot))((Bool, rightClick))((Short, actionNumber))((Bool, shift))       \
    ((Short, itemId))((Byte, itemCount))((Short, damage)))                                            \
  X(0x67, SetSlot, Custom, NotCall, Dispatched,                                                       \
    ((Byte, windowId))((Short, slot))((Short, itemId))((Byte, itemCount))((Short, damage)))           \
  X(0x68, WindowItems, Custom, NotCall, Dispatched,                                                   \
    ((Byte, windowId))((Short, count))((ByteList, itemCounts))((ShortList, itemIds))                  \
    ((ShortList, damages)))                                                                           \
  X(0x69, UpdateProgressBar, Fields, NotCall, Dispatched,                                             \
    ((Byte, windowId))((Short, progressBar))((Short, value)))                                         \
  X(0x6A, Transaction, Fields, Fields, Dispatched,                                                    \
    ((Byte, windowId))((Short, actionNumber))((Bool, accepted)))                                      \
  X(0x6B, CreativeInventoryAction, Fields, Nothing, Dispatched,                                       \
    ((Short, slot))((Short, itemId))((Short, count))((Short, damage)))                                \
  X(0x82, UpdateSign, Fields, NotCall, Dispatched,                                                    \
    ((Int, x))((Short, y))((Int, z))((String16, text1))((String16, text2))((String16, text3))         \
    ((String16, text4)))                                                                              \
  X(0x83, ItemData, Custom, Nothing, Dispatched,                                                      \
    ((Short, itemType))((Short, itemId))((UByte, length))((UByteList, data)))                         \
  X(0xC8, Statistic, Fields, Fields, Dispatched, ((Int, statisticId))((Byte, amount)))                \
  X(0xC9, PlayerListItem, Fields, Nothing, Dispatched,                                                \
    ((String16, playerName))((Bool, online))((Short, ping)))                                          \
  X(0xFF, Disconnect, Fields, Fields, Dispatched, ((String16, reason)))

#endif
