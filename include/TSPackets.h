#ifndef TS_PACKETS_H
#define TS_PACKETS_H

// One class per packet kind, generated from the catalogue in
// TSPacketCatalogue.h: the id, one member per field, parse and writeToStream.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <asio.hpp>
#include <boost/preprocessor/cat.hpp>
#include <boost/preprocessor/comparison/equal.hpp>
#include <boost/preprocessor/control/if.hpp>
#include <boost/preprocessor/control/iif.hpp>
#include <boost/preprocessor/punctuation/is_begin_parens.hpp>
#include <boost/preprocessor/punctuation/remove_parens.hpp>
#include <boost/preprocessor/seq/for_each.hpp>
#include <boost/preprocessor/tuple/eat.hpp>
#include <boost/preprocessor/tuple/elem.hpp>
#include <boost/preprocessor/tuple/size.hpp>

#include "TSPacketCatalogue.h"
#include "WireInput.h"

namespace TSPackets {

// Root of all packets. Packets are values: never deleted through the base.
class Packet {
public:
  explicit Packet(signed char id) : id(id) {}

  // Reads the fields, the id byte already taken; throws what the readers of
  // TSDataTypes throw (with a ByteReader: NeedMoreBytes while the packet is
  // incomplete).
  virtual void parse(WireInput& in) = 0;
  virtual void writeToStream(std::ostream& out) const = 0;

  // Reads the fields from a connected socket, waiting until they have all
  // arrived.
  void parse(asio::ip::tcp::socket& socket);

  // The id byte, then the fields: the only way a packet reaches the wire.
  void write(std::ostream& out) const;

  signed char id;

protected:
  ~Packet() = default;
  Packet(const Packet&) = default;
  Packet& operator=(const Packet&) = default;
};

// One destroyed block of an explosion, relative to its centre.
struct BlockOffset {
  signed char x = 0;
  signed char y = 0;
  signed char z = 0;
};

// Member types of the field kinds.
#define TS_CTYPE_Byte signed char
#define TS_CTYPE_UByte unsigned char
#define TS_CTYPE_Bool bool
#define TS_CTYPE_Short short
#define TS_CTYPE_Int int
#define TS_CTYPE_IntFromByte int
#define TS_CTYPE_Long std::int64_t
#define TS_CTYPE_Float float
#define TS_CTYPE_Double double
#define TS_CTYPE_String16 std::string
#define TS_CTYPE_Meta std::vector<char>
#define TS_CTYPE_ByteList std::vector<signed char>
#define TS_CTYPE_UByteList std::vector<unsigned char>
#define TS_CTYPE_ShortList std::vector<short>
#define TS_CTYPE_OffsetList std::vector<BlockOffset>

#define TS_FIELD_KIND(field) BOOST_PP_TUPLE_ELEM(0, field)
#define TS_FIELD_NAME(field) BOOST_PP_TUPLE_ELEM(1, field)
#define TS_FIELD_INIT_DEFAULT(field) {}
#define TS_FIELD_INIT_GIVEN(field) {BOOST_PP_TUPLE_ELEM(2, field)}
#define TS_FIELD_INIT(field)                                                                       \
  BOOST_PP_IF(BOOST_PP_EQUAL(BOOST_PP_TUPLE_SIZE(field), 3), TS_FIELD_INIT_GIVEN,                  \
              TS_FIELD_INIT_DEFAULT)(field)

// Types that a class names as its own: TS_NESTED_<Class>, where defined, is
// the parenthesised declarations.
#define TS_NESTED_Explosion (using BlockOffset = TSPackets::BlockOffset;)
#define TS_DECLARE_NESTED(Class)                                                                   \
  BOOST_PP_IIF(BOOST_PP_IS_BEGIN_PARENS(TS_NESTED_##Class), BOOST_PP_REMOVE_PARENS, BOOST_PP_EAT)   \
  (TS_NESTED_##Class)

#define TS_DECLARE_MEMBER(r, data, field)                                                          \
  BOOST_PP_CAT(TS_CTYPE_, TS_FIELD_KIND(field)) TS_FIELD_NAME(field) TS_FIELD_INIT(field);

#define TS_DECLARE_PACKET(packetId, Class, Read, Write, Dispatch, fields)                          \
  class Class final : public Packet {                                                              \
  public:                                                                                          \
    static constexpr unsigned char Id = packetId;                                                  \
    TS_DECLARE_NESTED(Class)                                                                       \
    Class() : Packet(static_cast<signed char>(packetId)) {}                                        \
    BOOST_PP_SEQ_FOR_EACH(TS_DECLARE_MEMBER, ~, fields)                                            \
    using Packet::parse;                                                                           \
    void parse(WireInput& in) override;                                                            \
    void writeToStream(std::ostream& out) const override;                                          \
  };

TS_PACKET_CATALOGUE(TS_DECLARE_PACKET)

#undef TS_DECLARE_PACKET
#undef TS_DECLARE_MEMBER

} // namespace TSPackets

#endif
