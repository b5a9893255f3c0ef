// The types, hit codes and private messages that the form skinner (TKsCustomForm) and
// its parts share.
#pragma once

#include <cstdint>

#include "classlib/Set.h"
#include "classlib/Win.h"
#include "skin/KsColor.h"

enum TKsBorderIcon { kbiClose, kbiSystemMenu, kbiMinimize, kbiMaximize, kbiHelp, kbiRollup, kbiTray };
using TKsBorderIcons = TSet<TKsBorderIcon>;
enum TKsWindowState { kwsNormal, kwsMaximized, kwsMinimized, kwsRollup, kwsTray };

// Frame hit codes (the system's own numbering of the frame's areas). The caption and
// the borders (khtCaption to khtBottomRight) drag the frame; the rest are buttons.
enum TKsHitCode : uint8_t {
  khtNone = 0,
  khtCaption = 1,
  khtLeft = 2,
  khtTop = 3,
  khtRight = 4,
  khtBottom = 5,
  khtTopLeft = 7,
  khtTopRight = 8,
  khtBottomLeft = 9,
  khtBottomRight = 10,
  khtClose = 11,
  khtHelp = 12,
  khtMinimize = 13,
  khtMaximize = 14,
  khtRollup = 15,
  khtTray = 16,
  khtSystemMenu = 17,
};

// The hit code of a caption button.
uint8_t KsBorderIconHitCode(TKsBorderIcon icon);

// Private messages of the skinner.
constexpr UINT KM_CAPTIONCHANGED = 0x56D;  // repaint the caption
constexpr UINT KM_MAXIMIZE = 0x56E;
constexpr UINT KM_ISBLENDED = 0x637;  // 1 when the form is translucent
constexpr UINT KM_TRAYCALLBACK = 0x56C;

// KM_CAPTIONCHANGED's wParam when the skinner took WS_CAPTION away (so that the system
// does not paint the new caption): the style is given back before the repaint.
constexpr WPARAM KsCaptionStyleTaken = 13;
// The flag in WM_ERASEBKGND's lParam of a request from the MDI client window: the
// parent form paints its background into the client's DC.
constexpr LPARAM KsEraseForMDIClient = 4;
// The MDI client window's own message that works out its scroll bars again.
constexpr UINT WM_MDICALCCHILDSCROLL = 0x3F;

// The transparent key of the paint buffer: pixels of this colour fall outside the window.
constexpr TKsColor KsTransparentKey = KsColorARGB(255, 127, 0, 127);
