// The GDI owners of the Win32 backend: a selection is undone when its scope ends, an owned
// object is deleted with its owner and only once when the owner is moved.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>

#include "ui/win32/Gdi.h"

using namespace ui::win32;

namespace {

HFONT MakeFont() {
  return CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
}

TEST(GdiOwners, SelectionIsUndoneWhenItsScopeEnds) {
  TMemoryDC dc;
  ASSERT_NE(dc.Get(), nullptr);
  HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_FONT);
  TFontHandle outer(MakeFont()), inner(MakeFont());
  {
    TSelectObject first(dc.Get(), outer.Get());
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), outer.Get());
    {
      TSelectObject second(dc.Get(), inner.Get());
      EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), inner.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), outer.Get());
    // Selecting nothing changes nothing and puts nothing back.
    { TSelectObject none(dc.Get(), nullptr); }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), outer.Get());
  }
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), original);
}

TEST(GdiOwners, AnOwnedObjectIsDeletedOnceByItsLastOwner) {
  HBRUSH raw = CreateSolidBrush(RGB(1, 2, 3));
  {
    TBrushHandle first(raw);
    TBrushHandle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.Get(), raw);
    TBrushHandle third;
    third = std::move(second);
    EXPECT_EQ(third.Get(), raw);
    EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_BRUSH));
  }
  EXPECT_EQ(GetObjectType(raw), 0u);

  // Reset frees the old object before taking the new one.
  HBITMAP a = CreateBitmap(2, 2, 1, 32, nullptr), b = CreateBitmap(2, 2, 1, 32, nullptr);
  {
    TBitmapHandle owner(a);
    owner.Reset(b);
    EXPECT_EQ(GetObjectType(a), 0u);
    EXPECT_EQ(GetObjectType(b), static_cast<DWORD>(OBJ_BITMAP));
  }
  EXPECT_EQ(GetObjectType(b), 0u);
}

}  // namespace
