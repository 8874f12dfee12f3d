// TMyTrayIcon against a recording notification area: notify sequences and
// data, no calls for unchanged values, the callback event mapping, the
// taskbar's re-creation and the rules of the shared hint window.
#include "tray/u_tray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "fakes/fake_tray_shell.h"

namespace {

constexpr uintptr_t ImageList = 7;

std::u16string Tip(const TNotifyData& data) {
  return std::u16string(data.szTip);
}

// wParam of a version-4 callback: x in the low 16 bits, y in the next 16.
uintptr_t Point(int x, int y) {
  return uintptr_t(uint16_t(int16_t(x))) | uintptr_t(uint16_t(int16_t(y))) << 16;
}

intptr_t Callback(TMyTrayIcon& icon, uint32_t code, int x = 0, int y = 0) {
  intptr_t result = -1;
  EXPECT_TRUE(icon.WndProc(TrayCallbackMessage, Point(x, y), code, result));
  return result;
}

class TrayIcon : public ::testing::Test {
 protected:
  void TearDown() override { FreeHintWindow(); }
  TFakeTrayShell Shell;
};

}  // namespace

TEST_F(TrayIcon, CreatedReadyButNotInTheNotificationArea) {
  TMyTrayIcon icon(Shell, L"{PULSERY-ALL}");
  EXPECT_TRUE(Shell.Notifies.empty());
  const TNotifyData& data = icon.NotifyData();
  EXPECT_EQ(data.cbSize, sizeof(TNotifyData));
  EXPECT_EQ(data.hWnd, 0x1234'0000'0010u);
  EXPECT_EQ(data.uID, 0x10u);  // low 32 bits of the window handle
  EXPECT_EQ(data.uFlags, NifMessage | NifIcon | NifGuid);
  EXPECT_EQ(data.uCallbackMessage, 0x0401u);
  EXPECT_EQ(data.uVersion, 0u);
  EXPECT_EQ(data.hIcon, 0u);
  EXPECT_EQ(Tip(data), u"");
  EXPECT_EQ(data.guidItem, IdentityGuid(IdentityText(L"{PULSERY-ALL}", Shell.Exe)));
  EXPECT_FALSE(icon.Visible());
  EXPECT_EQ(icon.IconIndex(), 0);
  EXPECT_EQ(icon.StatusText(), L"");
}

TEST_F(TrayIcon, VistaIdentifiesByComplementedCrc) {
  Shell.Version = {6, 0};
  TMyTrayIcon icon(Shell, L"{AB}");
  const TNotifyData& data = icon.NotifyData();
  EXPECT_EQ(data.uFlags, NifMessage | NifIcon);
  EXPECT_EQ(data.uID, IdentityNumber(IdentityText(L"{AB}", Shell.Exe)));
  EXPECT_EQ(data.guidItem, TGuid{});
}

TEST_F(TrayIcon, ACreationThatFailsLeavesNoWindowBehind) {
  // A window left over would send its messages to the icon that never was.
  Shell.ExePathThrows = true;
  EXPECT_THROW(TMyTrayIcon(Shell, L"{A}"), std::bad_alloc);
  const auto count = [&](const char* call) {
    return std::count(Shell.Calls.begin(), Shell.Calls.end(), call);
  };
  EXPECT_EQ(count("window"), count("destroy window"));
}

TEST_F(TrayIcon, EveryAddIsFollowedBySetVersionAndModifyWithBlankTip) {
  TMyTrayIcon icon(Shell, L"{A}");
  icon.SetImages(ImageList);
  icon.SetVisible(true);
  ASSERT_EQ(Shell.Messages(), (std::vector<uint32_t>{NimAdd, NimSetVersion, NimModify}));
  const TNotifyData& add = Shell.Notifies[0].Data;
  EXPECT_EQ(add.uVersion, 0u);  // the first add still goes without tip and version
  EXPECT_EQ(add.uFlags & NifTip, 0u);
  EXPECT_EQ(add.hIcon, ImageList * 100 + 1);
  for (size_t i : {1u, 2u}) {
    const TNotifyData& data = Shell.Notifies[i].Data;
    EXPECT_EQ(data.uVersion, NotifyIconVersion4);
    EXPECT_EQ(data.uFlags, NifMessage | NifIcon | NifGuid | NifTip);
    EXPECT_EQ(Tip(data), u" ");
    EXPECT_EQ(data.uFlags & NifShowTip, 0u);
  }

  // Hidden and shown again: the same three calls, the tip and version kept.
  Shell.Clear();
  icon.SetVisible(false);
  icon.SetVisible(true);
  EXPECT_EQ(Shell.Messages(), (std::vector<uint32_t>{NimDelete, NimAdd, NimSetVersion, NimModify}));
  EXPECT_EQ(Shell.Notifies[1].Data.uVersion, NotifyIconVersion4);
  EXPECT_EQ(Tip(Shell.Notifies[1].Data), u" ");
}

TEST_F(TrayIcon, AnAddBlockedByALeftoverIconRemovesItAndAddsAgain) {
  TMyTrayIcon icon(Shell, L"{A}");
  Shell.NotifyResults = {false};  // an icon with our identity is still there
  icon.SetVisible(true);
  EXPECT_EQ(Shell.Messages(),
            (std::vector<uint32_t>{NimAdd, NimDelete, NimAdd, NimSetVersion, NimModify}));
  EXPECT_EQ(Shell.Notifies[1].Data.guidItem, icon.NotifyData().guidItem);

  // A shell that keeps failing: no loop, and Visible records what was asked.
  TMyTrayIcon other(Shell, L"{B}");
  Shell.Clear();
  Shell.NotifyResults = {false, false, false, false, false};
  other.SetVisible(true);
  EXPECT_EQ(Shell.Messages(),
            (std::vector<uint32_t>{NimAdd, NimDelete, NimAdd, NimSetVersion, NimModify}));
  EXPECT_TRUE(other.Visible());
}

TEST_F(TrayIcon, UnchangedValuesMakeNoPlatformCall) {
  TMyTrayIcon icon(Shell, L"{A}");
  icon.SetImages(ImageList);
  icon.SetVisible(true);
  icon.SetIconIndex(4);
  icon.SetStatusText(L"Ethernet");
  Shell.Clear();
  icon.SetIconIndex(4);
  icon.SetVisible(true);
  icon.SetImages(ImageList);
  icon.SetStatusText(L"Ethernet");
  EXPECT_TRUE(Shell.Calls.empty());
  icon.SetVisible(false);
  Shell.Clear();
  icon.SetVisible(false);
  EXPECT_TRUE(Shell.Calls.empty());
}

TEST_F(TrayIcon, PicturesChangeInPlaceAndWaitWhileHidden) {
  TMyTrayIcon icon(Shell, L"{A}");
  Shell.Clear();
  icon.SetIconIndex(2);  // no image list yet: nothing to fetch, nothing shown
  EXPECT_EQ(Shell.Calls, std::vector<std::string>{});
  icon.SetImages(ImageList);
  EXPECT_EQ(icon.Icon(), ImageList * 100 + 3);

  // Hidden: only the record changes; the next add carries the picture.
  Shell.Clear();
  icon.SetIconIndex(5);
  EXPECT_TRUE(Shell.Notifies.empty());
  EXPECT_EQ(icon.NotifyData().hIcon, ImageList * 100 + 6);
  icon.SetVisible(true);
  EXPECT_EQ(Shell.Notifies[0].Data.hIcon, ImageList * 100 + 6);

  // Shown: a modify with the new picture; a frame without picture is empty.
  Shell.Clear();
  icon.SetIconIndex(-1);
  EXPECT_EQ(Shell.Messages(), std::vector<uint32_t>{NimModify});
  EXPECT_EQ(Shell.Notifies[0].Data.hIcon, 0u);
  EXPECT_EQ(icon.Icon(), 0u);
  EXPECT_EQ(Shell.LiveIcons.size(), 0u);  // every replaced picture was freed
}

TEST_F(TrayIcon, DestroyRemovesEvenWhenHiddenAndFreesEverything) {
  {
    TMyTrayIcon icon(Shell, L"{A}");
    icon.SetImages(ImageList);
    Shell.Clear();
  }
  EXPECT_EQ(Shell.Calls, (std::vector<std::string>{"notify 2", "destroy window", "destroyicon"}));
  EXPECT_TRUE(Shell.LiveIcons.empty());
}

TEST_F(TrayIcon, CallbackCodesBecomeEvents) {
  TMyTrayIcon icon(Shell, L"{A}");
  std::vector<std::string> events;
  icon.OnSelect = [&](TMyTrayIcon& sender, bool byKeyboard) {
    EXPECT_EQ(&sender, &icon);
    events.push_back(byKeyboard ? "key select" : "select");
  };
  icon.OnContextMenu = [&](TMyTrayIcon& sender, int32_t x, int32_t y) {
    EXPECT_EQ(&sender, &icon);
    events.push_back("menu " + std::to_string(x) + "," + std::to_string(y));
  };
  Callback(icon, NinSelect, 100, 200);
  Callback(icon, NinKeySelect);
  Callback(icon, WmContextMenu, 1910, 1060);
  Callback(icon, WmContextMenu, -1800, -5);  // a monitor left of and above the primary one
  Callback(icon, WmContextMenu, -32768, 32767);
  // Mouse moves, clicks and balloon codes do nothing; the high bits of
  // lParam (the icon's id in version 4) do not disturb the code.
  Callback(icon, WmMouseMove, 5, 5);
  Callback(icon, WmLButtonUp, 5, 5);
  Callback(icon, 0x0402 /* NIN_BALLOONSHOW */);
  Callback(icon, 0x00010000 | NinSelect);
  EXPECT_EQ(events, (std::vector<std::string>{"select", "key select", "menu 1910,1060",
                                              "menu -1800,-5", "menu -32768,32767", "select"}));
  EXPECT_TRUE(Shell.Calls.size() == 1 && Shell.Calls[0] == "window");  // no platform calls

  // Unassigned handlers are simply not raised.
  TMyTrayIcon bare(Shell, L"{B}");
  EXPECT_EQ(Callback(bare, NinSelect), 0);
  EXPECT_EQ(Callback(bare, WmContextMenu, 1, 1), 0);
}

TEST_F(TrayIcon, SessionEndRemovesTheIconButKeepsVisible) {
  TMyTrayIcon icon(Shell, L"{A}");
  icon.SetVisible(true);
  Shell.Clear();
  intptr_t result = 0;
  EXPECT_TRUE(icon.WndProc(WmQueryEndSession, 0, 0, result));
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(icon.WndProc(WmEndSession, 0, 0, result));
  EXPECT_TRUE(Shell.Notifies.empty());
  EXPECT_TRUE(icon.WndProc(WmEndSession, 1, 0, result));
  EXPECT_EQ(Shell.Messages(), std::vector<uint32_t>{NimDelete});
  EXPECT_TRUE(icon.Visible());
}

TEST_F(TrayIcon, TaskbarCreatedReaddsOnlyShownIcons) {
  TMyTrayIcon shown(Shell, L"{A}");
  TMyTrayIcon hidden(Shell, L"{B}");
  shown.SetVisible(true);
  Shell.Clear();
  intptr_t result = 0;
  EXPECT_FALSE(hidden.WndProc(Shell.TaskbarCreated, 0, 0, result));  // default procedure
  EXPECT_TRUE(Shell.Notifies.empty());
  EXPECT_FALSE(shown.WndProc(Shell.TaskbarCreated, 0, 0, result));
  EXPECT_EQ(Shell.Messages(), (std::vector<uint32_t>{NimAdd, NimSetVersion, NimModify}));
  EXPECT_EQ(Shell.Notifies[1].Data.uVersion, NotifyIconVersion4);
  EXPECT_EQ(Shell.Notifies[0].Data.hWnd, shown.Window());
  // Other messages go to the default procedure untouched.
  Shell.Clear();
  EXPECT_FALSE(shown.WndProc(0x000C /* WM_SETTEXT */, 0, 0, result));
  EXPECT_TRUE(Shell.Calls.empty());
}

// The shared hint window: which icon it shows, with which text, when.
class HintOwnership : public TrayIcon {
 protected:
  void SetUp() override {
    A.SetStatusText(
        L"\x0002"
        L"Ethernet\r\nsent 1 KB");
    B.SetStatusText(
        L"\x0002"
        L"Wi-Fi");
    Shell.Clear();
  }
  TFakeHintWindow& Hint() { return static_cast<TFakeHintWindow&>(*HintWindow); }
  TMyTrayIcon A{Shell, L"{AAAA-EF}"};
  TMyTrayIcon B{Shell, L"{BBBB}"};
  TMyTrayIcon Empty{Shell, L"{CCCC}"};
};

TEST_F(HintOwnership, AnIconWithoutStatusTextShowsNothing) {
  Callback(Empty, NinPopupOpen, 10, 10);
  EXPECT_FALSE(HintWindow);
  EXPECT_TRUE(Shell.Calls.empty());
}

TEST_F(HintOwnership, PopupOpenShowsTheTextAtThePointOnce) {
  Callback(A, NinPopupOpen, 900, -20);
  ASSERT_TRUE(HintWindow);
  EXPECT_EQ(Shell.Calls,
            (std::vector<std::string>{"create hint", "text", "place 900,-20", "show"}));
  EXPECT_EQ(Hint().OwnerKey, L"{AAAA-EF}");
  EXPECT_EQ(Hint().Text, A.StatusText());
  EXPECT_EQ(Hint().AnchorX, 900);
  EXPECT_EQ(Hint().AnchorY, -20);

  // Again for the same icon: moved and refreshed, not shown twice, not re-created.
  Shell.Clear();
  Callback(A, NinPopupOpen, 901, 5);
  EXPECT_EQ(Shell.Calls, (std::vector<std::string>{"text", "place 901,5"}));
  EXPECT_EQ(Shell.HintsCreated, 1);
}

TEST_F(HintOwnership, HoveringAnotherIconClosesAndShowsItsText) {
  Callback(A, NinPopupOpen, 100, 700);
  Shell.Clear();
  Callback(B, NinPopupOpen, 140, 700);
  EXPECT_EQ(Shell.Calls, (std::vector<std::string>{"close", "text", "place 140,700", "show"}));
  EXPECT_EQ(Hint().OwnerKey, L"{BBBB}");
  EXPECT_EQ(Hint().Text, B.StatusText());
}

TEST_F(HintOwnership, PopupCloseFromAnyIconClosesIt) {
  Callback(A, NinPopupClose);  // nothing to close yet
  EXPECT_TRUE(Shell.Calls.empty());
  Callback(A, NinPopupOpen, 100, 700);
  Shell.Clear();
  Callback(B, NinPopupClose);
  EXPECT_EQ(Shell.Calls, std::vector<std::string>{"close"});
  EXPECT_FALSE(Hint().Visible());
  Callback(A, NinPopupClose);  // already hidden
  EXPECT_EQ(Shell.Calls.size(), 1u);
}

TEST_F(HintOwnership, NewTextOfTheShownIconUpdatesTheHintAtItsAnchor) {
  Callback(A, NinPopupOpen, 300, 740);
  Shell.Clear();
  B.SetStatusText(L"Wi-Fi\r\nmore");  // another icon: the hint is left alone
  EXPECT_TRUE(Shell.Calls.empty());
  A.SetStatusText(L"Ethernet\r\nsent 2 KB");
  EXPECT_EQ(Shell.Calls, (std::vector<std::string>{"text", "place 300,740", "repaint"}));
  EXPECT_EQ(Hint().Text, L"Ethernet\r\nsent 2 KB");

  // The owner key is compared without regard to ASCII case.
  Hint().OwnerKey = L"{aaaa-ef}";
  Shell.Clear();
  A.SetStatusText(L"Ethernet\r\nsent 3 KB");
  EXPECT_EQ(Shell.Calls.size(), 3u);

  // Hidden: texts are only kept.
  HideHint();
  Shell.Clear();
  A.SetStatusText(L"Ethernet\r\nsent 4 KB");
  EXPECT_TRUE(Shell.Calls.empty());
}

TEST(TrayKeys, CompareWithoutAsciiCaseOnly) {
  EXPECT_TRUE(SameKey(L"{ab-cd}", L"{AB-CD}"));
  EXPECT_FALSE(SameKey(L"{AB}", L"{AB}x"));
  EXPECT_FALSE(SameKey(L"\u00e9", L"\u00c9"));  // ASCII letters only
}
