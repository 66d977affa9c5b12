#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <map>

// Idle draws what changed, once: a dirty view, or the union of overlapping regions.
TEST(CFrame, IdleRedrawsDirtyViewsAndOnlyThem) {
  CallLog log;
  TestFrame frame(log);
  Calls events;
  auto* a = new EventProbe(CRect(0, 0, 10, 10), &events, "a ");
  auto* b = new EventProbe(CRect(100, 100, 120, 110), &events, "b ");
  frame->addView(a);
  frame->addView(b);
  frame->idle();
  b->setDirty(true);  // as a parameter change from any thread would
  EXPECT_TRUE(frame->getInvalidRects().empty()) << "setDirty only sets a flag";
  frame->idle();
  EXPECT_EQ(frame->getLastRenderedRects(), (std::vector<CRect>{CRect(100, 100, 120, 110)}));
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 105, 105), 0xff0000u);
  frame->idle();
  EXPECT_TRUE(frame->getLastRenderedRects().empty()) << "clean views are not drawn again";
  a->invalidRect(CRect(5.5, 5, 20, 20));
  a->invalidRect(CRect(15, 15, 30, 30));
  a->invalidRect(CRect(16, 16, 18, 18));  // inside one already queued
  frame->idle();
  EXPECT_EQ(frame->getLastRenderedRects(), (std::vector<CRect>{CRect(5, 5, 30, 30)}));
  EXPECT_EQ(a->draws * 10 + b->draws, 22);
}

// The topmost view under a press gets it and its moves until the release, wherever they go;
// hover enters and leaves views, but not during a drag. A modal view gets the presses, wheels and
// hover (no release: it acts on the press), and what falls outside it goes nowhere.
TEST(CFrame, PressesMovesHoverAndAModalView) {
  CallLog log;
  TestFrame frame(log);
  Calls events;
  frame->addView(new EventProbe(CRect(0, 0, 50, 50), &events, "a "));
  auto* b = new EventProbe(CRect(20, 20, 70, 70), &events, "b ");
  frame->addView(b);
  frame.move(5, 5, 0);
  frame.move(30, 30, 0);
  frame.down(30, 30);
  EXPECT_EQ(frame->getCurrentMouseButtons(), CButtonState(kLButton));
  frame.move(5, 5);
  frame.up(5, 5);  // released over a: hover catches up
  EXPECT_EQ(frame->getCurrentMouseButtons() & kLButton, 0);
  b->setMouseEnabled(false);
  frame.down(30, 32);
  frame.up(30, 32);
  CPoint outside(-1, -1);
  frame->onMouseExited(outside, CButtonState());
  EXPECT_EQ(events, (Calls{"a in 5 5", "a moved 5 5", "a out 30 30", "b in 30 30", "b moved 30 30",
                           "b down 30 30 L", "b moved 5 5 L", "b up 5 5 L", "b out 5 5", "a in 5 5",
                           "a down 30 32 L", "a up 30 32 L", "a out -1 -1"}));
  events.clear();
  auto* modal = new EventProbe(CRect(200, 0, 300, 100), &events, "modal ");
  ASSERT_TRUE(frame->setModalView(modal));
  auto* second = new EventProbe(CRect(0, 0, 1, 1), &events, "second ");
  EXPECT_FALSE(frame->setModalView(second)) << "only one modal view at a time";
  second->forget();
  EXPECT_EQ(frame.down(30, 30), kMouseEventHandled);
  EXPECT_EQ(frame.key(0, 'a'), -1) << "keys no view takes stay the host's";
  EXPECT_FALSE(frame.wheel(30, 30, 1.f));
  EXPECT_TRUE(frame.wheel(250, 50, 1.f));
  frame.down(250, 50);
  frame.up(250, 50);
  EXPECT_TRUE(frame->setModalView(nullptr));
  frame.down(30, 30);
  EXPECT_EQ(events, (Calls{"modal wheel+ 250 50", "modal down 250 50 L", "modal in 250 50",
                           "a down 30 30 L"}));
  modal->forget();
}

// No window of the product nests containers, but the toolkit keeps every child in its
// parent's coordinates: drawing, invalid regions, hover and clicks all follow the offset.
TEST(CViewContainer, ChildrenOfANestedContainerLiveInItsCoordinates) {
  CallLog log;
  TestFrame frame(log, CRect(0, 0, 300, 200));
  Calls events;
  auto* box = new CViewContainer(CRect(100, 50, 200, 150));
  box->setBackgroundColor(MakeCColor(0, 0, 255));
  auto* inner = new EventProbe(CRect(10, 10, 30, 30), &events, "inner ");
  box->addView(inner);
  frame->addView(box);
  frame->idle();
  cairo_surface_t* s = frame->getBackBuffer();
  EXPECT_EQ(pixelAt(s, 110, 60), 0xff0000u);
  EXPECT_EQ(pixelAt(s, 109, 60), 0x0000ffu);
  EXPECT_EQ(pixelAt(s, 199, 149), 0x0000ffu);
  EXPECT_EQ(pixelAt(s, 200, 149), 0u);
  inner->setDirty(true);
  frame->idle();
  EXPECT_EQ(frame->getLastRenderedRects(), (std::vector<CRect>{CRect(110, 60, 130, 80)}));
  frame.move(115, 65, 0);
  frame.down(115, 65);
  frame.move(150, 150);
  frame.up(150, 150);
  EXPECT_EQ(events, (Calls{"inner in 15 15", "inner moved 15 15", "inner down 15 15 L",
                           "inner moved 50 100 L", "inner up 50 100 L", "inner out 50 100"}));
}

namespace {

std::map<std::string, std::vector<unsigned char>> gResources;

std::vector<unsigned char> pngOf(cairo_surface_t* surface) {
  std::vector<unsigned char> bytes;
  auto append = [](void* out, const unsigned char* data, unsigned int length) {
    auto* v = static_cast<std::vector<unsigned char>*>(out);
    v->insert(v->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
  };
  cairo_surface_write_to_png_stream(surface, append, &bytes);
  return bytes;
}

}  // namespace

// A damaged picture is an empty bitmap that draws nothing, and a sharper version that is not
// exactly twice the size is not used. (The product's pictures, and their versions at twice the
// size, are loaded and drawn by the editor's tests.)
TEST(CBitmap, DamagedPicturesAndWrongSizedSharpVersionsAreNotUsed) {
  CBitmap* strip = makeStrip(24, 16, 3);
  gResources = {{"bmp00042.png", pngOf(strip->getSurface())},
                {"bmp00007.png", pngOf(strip->getSurface())},
                {"bmp00007@2x.png", pngOf(strip->getSurface())}};
  gResources["bmp00042.png"].resize(100);
  CBitmap::setResourceProvider([](const char* name, const unsigned char** data, size_t* size) {
    const auto it = gResources.find(name);
    if (it == gResources.end()) return false;
    *data = it->second.data();
    *size = it->second.size();
    return true;
  });
  CBitmap damaged(42), seven(7);
  EXPECT_FALSE(damaged.isLoaded());
  EXPECT_EQ(damaged.getWidth() + damaged.getHeight(), 0);
  EXPECT_EQ(seven.getHighResolutionSurface(), nullptr);
  CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 48, 96));
  CDrawContext atTwice(surface.get(), 2.0);
  seven.draw(&atTwice, CRect(0, 0, 24, 48));  // each of its pixels drawn twice as large
  damaged.draw(&atTwice, CRect(0, 0, 24, 48));
  EXPECT_EQ(pixelAt(surface.get(), 47, 95), pixelAt(strip->getSurface(), 23, 47));
  EXPECT_EQ(pixelAt(surface.get(), 2, 3), pixelAt(strip->getSurface(), 1, 1));
  CBitmap::setResourceProvider(nullptr);
  EXPECT_FALSE(CBitmap(7).isLoaded()) << "no table registered";
  strip->forget();
}
