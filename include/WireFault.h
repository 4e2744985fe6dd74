#ifndef WIRE_FAULT_H
#define WIRE_FAULT_H

// Bytes from the server that cannot be a packet of the protocol, or that a
// packet may not hold: a corrupt or oversized compressed block, a map chunk
// whose payload does not fit its box, an unknown id or metadata type, a
// packet larger than the receive buffer takes. The stream's position is lost
// with them, so each one ends the session through the receive loop's report,
// which names the packet id.
//
// The faults that the protocol's texts name (thrown as C strings, such as
// "invalid bool received") and the allocation failure of a negative length
// keep their own forms.

#include <stdexcept>

class WireFault : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

#endif
