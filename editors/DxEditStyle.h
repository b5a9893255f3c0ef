// Edit styles and style controllers: how an in-place editor's frame and buttons look.
//
// Every editor owns a TdxEditStyle. A value set on the style itself ("assigned") wins;
// any other value comes from the editor's own TdxEditStyleController, else from the
// module's default controller, else from the built-in defaults. A controller keeps a
// list of the editors that listen to it and tells each one when a value changes.
//
// The default controller and the brush editors paint their shadows with are module
// resources: InitializeDxEditStyles makes them, FinalizeDxEditStyles frees them.
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/Colors.h"
#include "classlib/Components.h"
#include "classlib/Events.h"
#include "classlib/Set.h"
#include "classlib/Win.h"

class TdxInplaceEdit;

enum TdxEditBorderStyle : uint8_t { xbsNone, xbsSingle, xbsThick, xbsFlat, xbs3D };
enum TdxEditButtonViewStyle : uint8_t { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat };
enum TdxEditButtonTransparence : uint8_t { ebtNone, ebtInactive, ebtAlways, ebtHideInactive };
enum TdxEditEdge : uint8_t { edgLeft, edgTop, edgRight, edgBottom };
using TdxEditEdges = TSet<TdxEditEdge>;
enum TdxEditStyleValue : uint8_t {
  svBorderColor,
  svBorderStyle,
  svButtonStyle,
  svButtonTransparence,
  svEdges,
  svHotTrack,
  svShadow
};
using TdxEditStyleValues = TSet<TdxEditStyleValue>;
enum TdxPopupBorder : uint8_t { pbDefault, pbSingle, pbFrame3D, pbFlat };

constexpr TdxEditEdges dxAllEdges{edgLeft, edgTop, edgRight, edgBottom};

// (Sender: the controller, Link: the listener it tells).
using TdxStyleChangedEvent = TEvent<TObject* /*Sender*/, TObject* /*Link*/>;

// Built-in defaults, used by a new edit-style controller and when none exists.
constexpr TColor dxDefaultBorderColor = clWindowFrame;
constexpr TdxEditBorderStyle dxDefaultBorderStyle = xbs3D;
constexpr TdxEditButtonViewStyle dxDefaultButtonStyle = btsDefault;
constexpr TdxEditButtonTransparence dxDefaultButtonTransparence = ebtNone;

// A component that tells its listeners (in-place editors) when its values change.
// Notifications wait while an update is open and while the controller loads.
class TdxStyleController : public TComponent {
  KIVO_CLASS(TdxStyleController, TComponent)
 public:
  explicit TdxStyleController(TComponent* AOwner);
  ~TdxStyleController() override;

  void BeginUpdate() { ++FUpdateLock; }
  // Closes an update and tells every listener once.
  void EndUpdate();
  // Closes an update left by an exception, telling no one.
  void EndUpdateQuiet() { --FUpdateLock; }
  // Tells every listener, unless an update is open or the controller loads.
  void Changed();

  // A listener already present is added again; removing takes the first occurrence.
  virtual void AddListener(TObject* listener);
  virtual void RemoveListener(TObject* listener);
  // Fires OnStyleChanged for one listener.
  virtual void DoStyleChanged(TObject* listener);

  int GetListenerCount() const { return int(FListeners.size()); }
  TObject* GetListener(int index) const { return FListeners.at(size_t(index)); }

  TdxStyleChangedEvent OnStyleChanged;

 protected:
  void Loaded() override;

 private:
  std::vector<TObject*> FListeners;
  int32_t FUpdateLock = 0;
};

// The style controller of in-place editors: border, buttons, edges, hot tracking and
// shadow for every editor linked to it (and, as the module's default controller, for
// every editor without a controller of its own).
class TdxEditStyleController : public TdxStyleController {
  KIVO_CLASS(TdxEditStyleController, TdxStyleController)
 public:
  explicit TdxEditStyleController(TComponent* AOwner);

  // Another edit-style controller's seven values are copied with one notification.
  void Assign(TPersistent* source) override;
  // Tells an editor, unless it is linked to a different controller.
  void DoStyleChanged(TObject* listener) override;
  // Writes the built-in defaults with one notification.
  virtual void RestoreDefaults();

  TColor GetBorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor value);
  TdxEditBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TdxEditBorderStyle value);
  TdxEditButtonViewStyle GetButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TdxEditButtonViewStyle value);
  TdxEditButtonTransparence GetButtonTransparence() const { return FButtonTransparence; }
  void SetButtonTransparence(TdxEditButtonTransparence value);
  TdxEditEdges GetEdges() const { return FEdges; }
  void SetEdges(TdxEditEdges value);
  bool GetHotTrack() const { return FHotTrack; }
  void SetHotTrack(bool value);
  bool GetShadow() const { return FShadow; }
  void SetShadow(bool value);

 private:
  template <class T>
  void Write(T& field, T value);

  TColor FBorderColor = dxDefaultBorderColor;
  TdxEditBorderStyle FBorderStyle = dxDefaultBorderStyle;
  TdxEditButtonViewStyle FButtonStyle = dxDefaultButtonStyle;
  TdxEditButtonTransparence FButtonTransparence = dxDefaultButtonTransparence;
  TdxEditEdges FEdges = dxAllEdges;
  bool FHotTrack = false;
  bool FShadow = false;
};

// The look of one editor. Reading a value gives the local one when its bit in
// AssignedValues is set, otherwise the GetDefault operation's answer; writing sets the
// bit. Every change calls the editor's StyleChanged.
class TdxEditStyle : public TPersistent {
  KIVO_CLASS(TdxEditStyle, TPersistent)
 public:
  // The metaclass of edit styles: the constructor takes the editor, and the default
  // controller is a class operation.
  class TdxEditStyleClass : public TMetaClass {
   public:
    using TMetaClass::TMetaClass;
    virtual TdxEditStyle* Create(TdxInplaceEdit* edit) const = 0;
    virtual TdxEditStyleController* DefaultStyleController() const = 0;
  };
  template <class T>
  class TMetaFor : public TdxEditStyleClass {
   public:
    using TdxEditStyleClass::TdxEditStyleClass;
    TdxEditStyle* Create(TdxInplaceEdit* edit) const override { return new T(edit); }
    TdxEditStyleController* DefaultStyleController() const override {
      return T::DefaultStyleController();
    }
  };

  // Joins the default controller's listeners (when it exists).
  explicit TdxEditStyle(TdxInplaceEdit* edit);
  // Leaves the default controller it joined.
  ~TdxEditStyle() override;

  // Another style's seven read values become this style's assigned values.
  void Assign(TPersistent* source) override;
  // Calls the owning editor's StyleChanged.
  virtual void Changed();
  // Clears AssignedValues: every value follows the controller again.
  virtual void RestoreDefaults();
  // The module's default edit-style controller; null outside start-up and shut-down.
  static TdxEditStyleController* DefaultStyleController();

  TdxInplaceEdit* GetEdit() const { return FEdit; }
  TdxEditStyleValues GetAssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TdxEditStyleValues value);
  // Whether the value is saved with its form: its assigned bit is set.
  bool IsStored(TdxEditStyleValue value) const { return FAssignedValues.Contains(value); }

  TColor GetBorderColor();
  void SetBorderColor(TColor value);
  TdxEditBorderStyle GetBorderStyle();
  void SetBorderStyle(TdxEditBorderStyle value);
  TdxEditButtonViewStyle GetButtonStyle();
  void SetButtonStyle(TdxEditButtonViewStyle value);
  TdxEditButtonTransparence GetButtonTransparence();
  void SetButtonTransparence(TdxEditButtonTransparence value);
  TdxEditEdges GetEdges();
  void SetEdges(TdxEditEdges value);
  bool GetHotTrack();
  void SetHotTrack(bool value);
  bool GetShadow();
  void SetShadow(bool value);

 protected:
  // Each style class passes its own metaclass, so that the editor joins the default
  // controller of that class.
  TdxEditStyle(TdxInplaceEdit* edit, const TdxEditStyleClass* cls);
  // The value when not assigned: the editor's controller's, else the default
  // controller's, else the built-in default.
  virtual TColor GetDefaultBorderColor();
  virtual TdxEditBorderStyle GetDefaultBorderStyle();
  virtual TdxEditButtonViewStyle GetDefaultButtonStyle();
  virtual TdxEditButtonTransparence GetDefaultButtonTransparence();
  virtual TdxEditEdges GetDefaultEdges();
  virtual bool GetDefaultHotTrack();
  virtual bool GetDefaultShadow();
  // The controller the defaults come from, or null for the built-in defaults.
  TdxEditStyleController* SourceController();

 private:
  template <class T>
  void Write(TdxEditStyleValue bit, T& field, T value);
  template <class T>
  T FromController(T (TdxEditStyleController::*read)() const, T fallback);

  TdxEditStyleValues FAssignedValues;
  TColor FBorderColor = dxDefaultBorderColor;
  TdxEditBorderStyle FBorderStyle = dxDefaultBorderStyle;
  TdxEditButtonViewStyle FButtonStyle = dxDefaultButtonStyle;
  TdxEditButtonTransparence FButtonTransparence = dxDefaultButtonTransparence;
  TdxEditEdges FEdges = dxAllEdges;
  TdxInplaceEdit* FEdit;
  TdxEditStyleController* FJoinedController = nullptr;
  bool FHotTrack = false;
  bool FShadow = false;
};
using TdxEditStyleClass = TdxEditStyle::TdxEditStyleClass;

// Start-up makes the default edit-style controller and the shadow brush (a solid
// brush of clBtnShadow); shut-down frees both. Calls are counted.
void InitializeDxEditStyles();
void FinalizeDxEditStyles();
// The brush editors and popups paint their drop shadows with; null outside start-up.
HBRUSH DxEditShadowBrush();
