#include "editors/DxContainerHintWindow.h"

#include "classlib/GdiHandles.h"

TdxContainerHintWindow::TdxContainerHintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clInfoBk);
  GetCanvas()->GetBrush()->SetStyle(bsClear);
  SetVisible(false);
}

void TdxContainerHintWindow::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style = WS_POPUP;
  params.ExStyle = WS_EX_TOOLWINDOW;
  params.WndParent = nullptr;
  params.WindowClass.style |= CS_SAVEBITS;
}

void TdxContainerHintWindow::ShowCellHint(const TPoint& point, const std::string& text, TFont* font) {
  ActivateHint(point, GetSystemMetrics(SM_CXSCREEN), false, font, text);
}

void TdxContainerHintWindow::ActivateHint(const TPoint& point, int maxWidth, bool useFontSize, TFont* font,
                                          const std::string& text) {
  SetCaption(text);
  TFont* canvasFont = GetCanvas()->GetFont();
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    canvasFont->SetHeight(metrics.lfStatusFont.lfHeight);
  else
    canvasFont->SetSize(8);
  canvasFont->SetColor(clInfoText);
  if (font) {
    canvasFont->SetName(font->GetName());
    canvasFont->SetCharset(font->GetCharset());
    if (useFontSize)
      canvasFont->SetSize(font->GetSize());
  }
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (maxWidth < 1)
    maxWidth = screenWidth;
  TRect r = Rect(0, 0, maxWidth, 0);
  {
    TMemoryDC dc;
    TSelectGuard selected(dc, canvasFont->GetHandle());
    DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
  }
  const int width = r.right + 6;
  const int height = r.bottom + 6;
  int left = point.x;
  int top = point.y;
  if (top + height > screenHeight)
    top = screenHeight - height;
  if (left + width > screenWidth)
    left = screenWidth - width;
  if (left < 0)
    left = 0;
  if (top < 0)
    top = 0;
  SetBounds(left, top, width, height);
  SetWindowPos(GetHandle(), HWND_TOPMOST, left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Invalidate();
}

void TdxContainerHintWindow::Paint() {
  TCanvas* canvas = GetCanvas();
  HDC dc = canvas->GetHandle();
  TRect r = GetClientRect();
  DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT);
  InflateRect(&r, -1, -1);
  r.left += 2;
  r.top += 2;
  canvas->RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
  SetBkMode(dc, TRANSPARENT);
  const std::string text = GetCaption();
  DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_NOPREFIX | DT_NOCLIP | DT_WORDBREAK);
}

void TdxContainerHintWindow::Dispatch(TMessage& message) {
  if (message.Msg == WM_NCHITTEST) {
    message.Result = HTTRANSPARENT;
    return;
  }
  inherited::Dispatch(message);
}
