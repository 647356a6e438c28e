#include "framework/toolbar.h"

#include <commctrl.h>

#include <vector>

#include "framework/dpi.h"
#include "framework/toolbar_resource.h"
#include "framework/window.h"

namespace brx::framework {
namespace {

constexpr int kButtonPadding = 7;

}  // namespace

HWND CreateToolbarFromResource(HWND parent, int resource_id, DWORD style, UINT control_id) {
  const std::optional<ToolbarLayout> layout = LoadToolbarResource(ResourceInstance(), resource_id);
  if (!layout) return nullptr;
  HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, style, 0, 0, 100, 100, parent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(control_id)),
                                 ResourceInstance(), nullptr);
  if (!toolbar) return nullptr;

  std::vector<TBBUTTON> buttons;
  int image = 0;
  for (const WORD command : layout->commands) {
    TBBUTTON button{};
    button.idCommand = command;
    if (button.idCommand == 0) {
      button.fsStyle = BTNS_SEP;
    } else {
      button.iBitmap = image++;
      button.fsState = TBSTATE_ENABLED;
      button.fsStyle = BTNS_BUTTON;
    }
    buttons.push_back(button);
  }

  SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(layout->image_width, layout->image_height));
  // The room around the image grows with the screen's scale, as the image does.
  const int padding = ScaleForDpi(kButtonPadding, SystemDpi());
  SendMessageA(toolbar, TB_SETBUTTONSIZE, 0,
               MAKELONG(layout->image_width + padding, layout->image_height + padding));
  TBADDBITMAP bitmap{ResourceInstance(), static_cast<UINT_PTR>(resource_id)};
  SendMessageA(toolbar, TB_ADDBITMAP, image, reinterpret_cast<LPARAM>(&bitmap));
  SendMessageA(toolbar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  return toolbar;
}

HWND CreateRebar(HWND parent, DWORD style, UINT control_id) {
  HWND rebar = CreateWindowExA(0, REBARCLASSNAMEA, nullptr, style, 0, 0, 100, 100, parent,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(control_id)),
                               ResourceInstance(), nullptr);
  if (!rebar) return nullptr;
  REBARINFO info{};
  info.cbSize = sizeof info;
  if (!SendMessageA(rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info))) {
    DestroyWindow(rebar);
    return nullptr;
  }
  return rebar;
}

UINT AddToolbarBand(HWND rebar, HWND toolbar, bool new_row) {
  if (!rebar || !toolbar) return 0;
  const auto count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
  RECT first{}, last{};
  if (count > 0) {
    SendMessageA(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    SendMessageA(toolbar, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last));
  }
  REBARBANDINFOA band{};
  band.cbSize = sizeof band;
  band.fMask =
      RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID | RBBIM_SIZE | RBBIM_IDEALSIZE;
  band.fStyle = RBBS_CHILDEDGE | (new_row ? RBBS_BREAK : 0);
  band.hwndChild = toolbar;
  band.wID = kFirstBandId + static_cast<UINT>(SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
  band.cx = last.right;
  band.cxMinChild = first.right;
  band.cyMinChild = last.bottom - last.top;
  band.cxIdeal = last.right;
  const bool added = SendMessageA(rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(&band)) != 0;
  return added ? band.wID : 0;
}

HWND CreateStatusBar(HWND parent, int text_id, DWORD style, UINT control_id) {
  char text[128] = {};
  LoadStringA(ResourceInstance(), text_id, text, sizeof text);
  return CreateStatusWindowA(static_cast<LONG>(style), text, parent, control_id);
}

}  // namespace brx::framework
