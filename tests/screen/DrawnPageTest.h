#ifndef DRAWN_PAGE_TEST_H
#define DRAWN_PAGE_TEST_H

// A game page in a real window whose frames the test looks at: ticks, each
// followed by a frame drawn where the tick left the player, and a picture
// of the last frame.

#include "PageFixture.h"
#include "Picture.h"

class DrawnPageTest : public PageTest {
protected:
  void tick(int ticks = 1) {
    for (int i = 0; i < ticks; ++i) {
      m_page->tick();
      m_page->frame(1);
    }
  }

  Picture frame() {
    tick();
    return Picture(*m_page->shell().window());
  }
};

#endif
