#include "Hud.h"

#include <algorithm>
#include <memory>

#include <OgreImGuiOverlay.h>
#include <OgreOverlayManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>

#include "ChatText.h"

namespace {

const char* const FontFile = "DejaVuSans.ttf";
const float FontPixels = 16;
const unsigned short OverlayOrder = 300;
const float Margin = 8;
const float Padding = 3;
const float ChatWidth = 480;

const unsigned int White = 0xFFFFFF;

const Ogre::String& group() { return Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME; }

// A TrueType font of the Latin, Greek and Cyrillic letters and the common
// punctuation: what chat on these servers is written in.
// The overlay's own font loading hands ImGui a buffer allocated with new[],
// which ImGui later releases with free(): the font's bytes go to ImGui in an
// allocation of its own instead, which the font atlas owns and frees.
void addFont() {
  // Latin with its extensions, Greek, Cyrillic and general punctuation.
  static const ImWchar ranges[] = {0x20,  0x24F, 0x370,  0x3FF,  0x400,
                                   0x4FF, 0x2010, 0x205E, 0};
  Ogre::DataStreamPtr stream =
      Ogre::ResourceGroupManager::getSingleton().openResource(FontFile, group());
  const std::size_t size = stream->size();
  void* data = ImGui::MemAlloc(size);
  if (stream->read(data, size) != size) {
    ImGui::MemFree(data);
    OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND, "cannot read the font", "Hud");
  }
  ImGui::GetIO().Fonts->AddFontFromMemoryTTF(data, static_cast<int>(size), FontPixels, nullptr,
                                             ranges);
}

ImU32 colour(unsigned int rgb, float opacity) {
  return IM_COL32((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF,
                  static_cast<int>(std::clamp(opacity, 0.0f, 1.0f) * 255));
}

ImU32 shade(float opacity) { return colour(0x000000, opacity); }

ImVec2 textSize(const std::string& text) {
  return ImGui::GetFont()->CalcTextSizeA(FontPixels, 1e9f, 0, text.c_str(),
                                          text.c_str() + text.size());
}

// Text with a dark shadow, readable over a bright sky as over dark ground.
void drawText(ImDrawList& list, ImVec2 at, const std::string& text, ImU32 ink, float opacity) {
  const char* begin = text.c_str();
  const char* end = begin + text.size();
  list.AddText(ImGui::GetFont(), FontPixels, ImVec2(at.x + 1, at.y + 1), shade(opacity), begin,
               end);
  list.AddText(ImGui::GetFont(), FontPixels, at, ink, begin, end);
}

// The segments' words from the left edge, on as many rows of the width as
// they need; draws them only with a list. Returns the rows' total height.
float layOutChat(ImDrawList* list, ImVec2 origin, const std::vector<ChatSegment>& segments,
                 float opacity) {
  float x = 0;
  float y = 0;
  for (const ChatSegment& segment : segments) {
    std::size_t start = 0;
    while (start < segment.text.size()) {
      std::size_t end = segment.text.find(' ', start);
      end = end == std::string::npos ? segment.text.size() : end + 1;
      const std::string word = segment.text.substr(start, end - start);
      const float width = textSize(word).x;
      if (x > 0 && x + width > ChatWidth) {
        x = 0;
        y += FontPixels + 2;
      }
      if (list)
        drawText(*list, ImVec2(origin.x + x, origin.y + y), word,
                 colour(chatColour(segment.colour), opacity), opacity);
      x += width;
      start = end;
    }
  }
  return y + FontPixels + 2;
}

void drawCrosshair(ImDrawList& list, ImVec2 centre) {
  const float arm = 9;
  const float half = 1;
  const auto bar = [&](float w, float h, float grow, ImU32 ink) {
    list.AddRectFilled(ImVec2(centre.x - w - grow, centre.y - h - grow),
                       ImVec2(centre.x + w + grow, centre.y + h + grow), ink);
  };
  bar(arm, half, 1, shade(0.6f));
  bar(half, arm, 1, shade(0.6f));
  bar(arm, half, 0, colour(White, 1));
  bar(half, arm, 0, colour(White, 1));
}

// A bar under the crosshair that fills as the dig goes on.
void drawDigProgress(ImDrawList& list, float progress, ImVec2 centre) {
  const float halfWidth = 20;
  const float top = centre.y + 16;
  const float height = 4;
  list.AddRectFilled(ImVec2(centre.x - halfWidth - 1, top - 1),
                     ImVec2(centre.x + halfWidth + 1, top + height + 1), shade(0.6f));
  list.AddRectFilled(ImVec2(centre.x - halfWidth, top),
                     ImVec2(centre.x - halfWidth + 2 * halfWidth * std::clamp(progress, 0.0f, 1.0f),
                            top + height),
                     colour(White, 1));
}

void drawChat(ImDrawList& list, const HudView& view, ImVec2 display) {
  float bottom = display.y - Margin - FontPixels - 2 * Padding - 6;
  for (auto line = view.chat.rbegin(); line != view.chat.rend(); ++line) {
    const std::vector<ChatSegment> segments = chatSegments(line->text);
    const float height = layOutChat(nullptr, ImVec2(), segments, 1);
    bottom -= height;
    list.AddRectFilled(ImVec2(Margin - Padding, bottom), ImVec2(Margin + ChatWidth + Padding,
                                                                bottom + height),
                       shade(0.35f * line->opacity));
    layOutChat(&list, ImVec2(Margin, bottom + 1), segments, line->opacity);
  }
}

void drawChatInput(ImDrawList& list, const HudView& view, ImVec2 display) {
  const float top = display.y - Margin - FontPixels - 2 * Padding;
  list.AddRectFilled(ImVec2(Margin - Padding, top), ImVec2(display.x - Margin, display.y - Margin),
                     shade(0.55f));
  drawText(list, ImVec2(Margin, top + Padding), "> " + view.chatInput + "_", colour(White, 1), 1);
}

unsigned int toneColour(HudView::Tone tone) {
  switch (tone) {
  case HudView::Tone::Good:
    return 0x7CFC7C;
  case HudView::Tone::Bad:
    return 0xFF8C6C;
  default:
    return White;
  }
}

void drawStatus(ImDrawList& list, const HudView& view, ImVec2 display) {
  if (view.status.empty())
    return;
  const ImVec2 size = textSize(view.status);
  const ImVec2 at((display.x - size.x) / 2, Margin);
  list.AddRectFilled(ImVec2(at.x - Padding, at.y - Padding),
                     ImVec2(at.x + size.x + Padding, at.y + size.y + Padding), shade(0.45f));
  drawText(list, at, view.status, colour(toneColour(view.statusTone), 1), 1);
}

void drawInfo(ImDrawList& list, const HudView& view) {
  if (view.info.empty())
    return;
  float width = 0;
  for (const std::string& line : view.info)
    width = std::max(width, textSize(line).x);
  const float lineHeight = FontPixels + 2;
  const ImVec2 at(Margin, Margin + lineHeight + 2 * Padding + 4);
  list.AddRectFilled(ImVec2(at.x - Padding, at.y - Padding),
                     ImVec2(at.x + width + Padding, at.y + lineHeight * view.info.size() + Padding),
                     shade(0.5f));
  for (std::size_t i = 0; i < view.info.size(); ++i)
    drawText(list, ImVec2(at.x, at.y + lineHeight * i), view.info[i], colour(White, 1), 1);
}

} // namespace

Hud::Hud(Ogre::Root& root) : m_root(root), m_pictures(std::make_unique<ItemPictures>()) {
  auto overlay = std::make_unique<Ogre::ImGuiOverlay>();
  // Nothing of the display is kept between runs.
  ImGui::GetIO().IniFilename = nullptr;
  ImGui::GetIO().LogFilename = nullptr;
  addFont();
  overlay->setZOrder(OverlayOrder);
  overlay->show();
  Ogre::OverlayManager::getSingleton().addOverlay(overlay.get());
  m_overlay = overlay.release();
  m_root.addFrameListener(this);
}

Hud::~Hud() {
  m_root.removeFrameListener(this);
  Ogre::OverlayManager::getSingleton().destroy(m_overlay);
}

void Hud::show(HudView view) { m_view = std::move(view); }

int Hud::framesPerSecond() const { return static_cast<int>(m_frames.size()); }

// Every frame the overlay draws must have been started, and the one before
// it ended: a frame whose window was not drawn (closed, hidden) is ended
// here.
bool Hud::frameStarted(const Ogre::FrameEvent&) {
  const auto now = std::chrono::steady_clock::now();
  m_frames.push_back(now);
  while (now - m_frames.front() > std::chrono::seconds(1))
    m_frames.pop_front();
  if (m_frameOpen)
    ImGui::EndFrame();
  Ogre::ImGuiOverlay::NewFrame();
  m_frameOpen = true;
  draw();
  return true;
}

void Hud::draw() const {
  ImDrawList& list = *ImGui::GetForegroundDrawList();
  const ImVec2 display = ImGui::GetIO().DisplaySize;
  if (!m_view.window)
    drawCrosshair(list, ImVec2(display.x / 2, display.y / 2));
  if (m_view.digProgress)
    drawDigProgress(list, *m_view.digProgress, ImVec2(display.x / 2, display.y / 2));
  if (m_view.hotbar)
    drawHotbar(list, *m_pictures, *m_view.hotbar, display);
  if (m_view.health)
    drawHealth(list, *m_view.health, display);
  if (m_view.window)
    drawWindowScreen(list, *m_pictures, *m_view.window, display);
  // Chat lines stay above the hotbar and the hearts.
  drawChat(list, m_view,
           m_view.hotbar ? ImVec2(display.x, hotbarTop(display) + 32) : display);
  if (m_view.chatOpen)
    drawChatInput(list, m_view, display);
  drawStatus(list, m_view, display);
  drawInfo(list, m_view);
  if (m_view.players)
    drawPlayerList(list, *m_view.players, display);
}
