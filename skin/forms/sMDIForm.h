#pragma once
// TsMDIForm: connects the MDI client window of a skinned MDI parent form to
// a window adapter, so that the area behind the MDI children is painted
// from the skin. The form's provider makes it (SetMDIHelper) when it
// prepares an MDI parent and frees it when the skin goes; while it exists
// the provider is the module's MDIParentProvider. The adapter comes from
// the adapter factory's slot (CreateMDIClientAdapter). Windows only.
#include <windows.h>

#include <memory>

#include "vcl/Messages.h"
#include "vcl/Persistent.h"

namespace vcl {
class TCustomForm;
}

namespace skin {

class TsSkinProvider;
class TvlWindowAdapter;

class TsMDIForm : public vcl::TPersistent {
    VCL_CLASS(TsMDIForm, vcl::TPersistent)
public:
    // Makes sure the form has its window, and so its client window.
    explicit TsMDIForm(TsSkinProvider *AProvider);
    ~TsMDIForm() override;

    // ConnectClient when no client adapter exists.
    void ConnectIfNeeded();
    // A new client adapter while the provider's form is skinned; none else.
    void ConnectClient();
    // The provider's frame again (cache, menu line, WM_NCPAINT).
    void RefreshFrame();
    void DisconnectClient();

    vcl::TCustomForm *Form = nullptr;                // not owned: the provider's form
    std::unique_ptr<TvlWindowAdapter> ClientAdapter;  // of the form's client window
    TsSkinProvider *Provider = nullptr;              // not owned: the owner
};

// The MDI parent provider's form is an MDI parent whose active child is
// maximized and shows a system menu (biSystemMenu, with its icon): that
// child's icon then stands at the left of the parent's menu line. That
// child, or null.
const vcl::TCustomForm *MaximizedMDIChildWithMenu();

// ------------------------------------------- the MDI steps of the provider
// A child's provider and its parent's keep each other's frames in step:
// the provider's handlers route their MDI steps here. Child is the provider
// of an MDI child form.

// The form is an MDI child. Its Parent is null in the class library: the
// style tells it.
bool IsMDIChildForm(const vcl::TCustomForm *Form);
// The provider of the application's MDI parent while neither it nor its
// form is going; null else.
TsSkinProvider *MDIParentSkinProvider();
// The MDI parent's frame again after a change of its active child: its
// menu line and caption recomputed, its client and frame redrawn (Full: at
// once, and the border form too).
void RefreshMDIParent(bool Full);

// WM_CHILDACTIVATE, after the child's own procedure: a maximized active
// child has the parent's frame follow it; a child that is not maximized
// shows no system buttons of its own again.
void MDIChildActivated(TsSkinProvider &Child);
// WM_MDIACTIVATE: the parent's frame follows the activation; the child
// activated becomes the one activated last.
void MDIChildActivation(TsSkinProvider &Child, const vcl::TMessage &Message);
// The child's provider goes: it is no longer the one activated last, and
// the parent's frame and menu line are made again without it.
void MDIChildProviderGoing(TsSkinProvider &Child);
// WM_CREATE of a child, before its own procedure: an MDI parent that no
// provider serves is skinned as the hook would skin it, and a child made
// while the active one is maximized is noted (MDIChildOverMaximized).
void MDIChildCreating();
// WM_NCDESTROY of a child, after its own procedure: the parent's frame is
// made again, its client too when no other child is active.
void MDIChildDestroyed(TsSkinProvider &Child);
// The parent's children that nothing of the library serves yet are
// skinned as the hook would skin them.
void AttachMDIChildren(TsSkinProvider &Parent);
// A child's system command, whole (its own procedure runs inside): the
// parent's menu line and its buttons follow the child's state.
void MDIChildSysCommand(TsSkinProvider &Child, vcl::TMessage &Message);
// The parent's own minimize, maximize and restore, after its procedure.
// False once the frame's repaint freed the parent's provider.
bool MDIParentSysCommand(TsSkinProvider &Parent, const vcl::TMessage &Message);
// The parent's active child is maximized (and not Except).
bool ActiveChildMaximized(const vcl::TCustomForm *Parent, const vcl::TCustomForm *Except = nullptr);
// Form is an MDI child that another child, maximized and active, covers
// whole: it paints nothing of its own.
bool CoveredByMaximizedChild(const vcl::TCustomForm *Form);
// An erase whose client the cache cannot serve: a child lying inside its
// parent's client keeps of its cache only what its frame's top shows (the
// border, the caption and its menu line), and the cache is made anew.
void CutMDIChildCache(TsSkinProvider &Child);
// A child's first erase or paint ends the state in which a new child is
// made over a maximized one (MDIChildOverMaximized); the child then counts
// as activated last.
void MDIChildPainted(TsSkinProvider &Provider);

} // namespace skin
