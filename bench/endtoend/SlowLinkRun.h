#ifndef BENCH_ENDTOEND_SLOW_LINK_RUN_H
#define BENCH_ENDTOEND_SLOW_LINK_RUN_H

// The same world loaded directly and through a slow link (64 kbit/s in
// 256-byte segments), with the gaps between the starts of consecutive
// ticks: the main thread blocking on the network shows between ticks, not
// inside them. Prints the figures; false when a run gave none.
bool benchSlowLink(int viewRadius);

#endif
