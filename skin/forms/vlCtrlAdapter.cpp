#include "vlCtrlAdapter.h"

#include <algorithm>

#include "sSkinProvider.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sLabel.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vcl/StdCtrls.h"
#include "vcl/StringList.h"
#include "vlDwmServices.h"

namespace skin {

VCL_CLASS_INFO(TvlAdapterItem)
VCL_CLASS_INFO(TvlCtrlAdapter)

namespace {

// Clear is not entered again while it frees the items.
bool ClearRunning = false;

bool Unskinnable(const vcl::TControl *Control) { return (Control->Tag() & 0x100) != 0; }

bool Handled(vcl::TControl *Control) { return QuerySkinCommand(Control, SC_IS_HANDLED); }

// The adapter of an item exists and has not given its window back.
bool Alive(const TvlAdapterItem &Item) { return Item.Adapter && !Item.Adapter->Destroyed(); }

// The kind whose list names ClassName exactly (lists in kind order, lines
// in line order); -1 when none does.
template <class Lists> int KindOfClass(const Lists &Lists_, const std::string &ClassName) {
    for (std::size_t kind = 0; kind < Lists_.size(); ++kind) {
        const vcl::TStringList *list = Lists_[kind].get();
        if (!list) continue;
        for (int line = 0; line < list->Count(); ++line)
            if (list->Strings(line) == ClassName) return static_cast<int>(kind);
    }
    return -1;
}

int KindOf(const TsSkinProvider &Provider, const TsSkinManager &Manager, const std::string &ClassName) {
    return Provider.OwnThirdPartyLists ? KindOfClass(Provider.ThirdPartyLists, ClassName)
                                       : KindOfClass(Manager.ThirdPartyLists, ClassName);
}

// The provider's events about a control: true when it may be adapted.
// Params comes back as the events left it. False, too, once the first
// event freed the provider.
bool AskEvents(TsSkinProvider &Provider, vcl::TControl *Control, const std::string &Section, TvlSkinParams &Params) {
    const vcl::TGuarded alive(&Provider);
    bool canBeAdded = true;
    Params = TvlSkinParams{};
    Params.Control = Control;
    Params.SkinSection = Section;
    if (Provider.OnSkinItem) Provider.OnSkinItem(Control, canBeAdded, Params.SkinSection);
    if (alive && Provider.OnSkinItemEx) Provider.OnSkinItemEx(Control, canBeAdded, Params);
    return canBeAdded && alive;
}

bool IsPlainLabel(const vcl::TControl *Control) {
    return dynamic_cast<const vcl::TCustomLabel *>(Control) && !dynamic_cast<const TsCustomLabel *>(Control);
}

} // namespace

// ------------------------------------------------------- TvlAdapterItem

TvlAdapterItem::TvlAdapterItem(TvlCtrlAdapter *Owner, vcl::TWinControl *Control) : Control(Control), Owner(Owner) {}

TvlAdapterItem::~TvlAdapterItem() = default;

void TvlAdapterItem::CreateAdapter(const TvlSkinParams &Params) {
    if (!Control || Unskinnable(Control) || !Control->HandleAllocated() || Handled(Control)) return;
    TsSkinManager *manager = Owner->Provider->SkinData()->GetSkinManager();
    if (!manager) return;
    const int kind = KindOf(*Owner->Provider, *manager, Control->ClassName());
    if (kind < 0) return;
    Adapter = AdapterFactory().CreateAdapter(kind, Control->WindowHandle(), Params, manager);
}

// ------------------------------------------------------- TvlCtrlAdapter

TvlCtrlAdapter::TvlCtrlAdapter(TsSkinProvider *Provider) : Provider(Provider) { ClearRunning = false; }

TvlCtrlAdapter::~TvlCtrlAdapter() {
    Purge();
    Clear();
}

bool TvlCtrlAdapter::AdaptControls(vcl::TWinControl *Root) {
    TsSkinManager *manager = Provider->SkinData()->GetSkinManager();
    if (!Provider->AllowSkin3rdParty() || Walking || !manager || !manager->SkinningRules().Contains(srThirdParty))
        return true;
    if (!Root) Root = Provider->Form;
    if (!Root) return true;
    Walking = true;
    Purge();
    // The events may free the provider (this adapter with it), or a control
    // and the one walked in with it: the walk ends there.
    const vcl::TGuarded provider(Provider);
    const vcl::TGuarded<vcl::TWinControl> root(Root);
    // An accepted control is adapted (a label coloured); a windowed one with
    // its window is walked into, the walk below being its own.
    const auto visit = [this, &provider](vcl::TControl *Control) {
        if (!Control) return true;
        const vcl::TGuarded<vcl::TControl> control(Control);
        if (!dynamic_cast<vcl::TWinControl *>(Control) && !dynamic_cast<vcl::TCustomLabel *>(Control))
            AddGraphicHandler(Control);
        if (provider && control && AcceptControl(Control)) {
            if (auto *windowed = dynamic_cast<vcl::TWinControl *>(Control))
                AddNewItem(windowed, {});
            else if (IsPlainLabel(Control))
                Provider->SkinLabel(static_cast<vcl::TCustomLabel *>(Control), true);
        }
        if (!provider) return false;
        auto *windowed = control ? dynamic_cast<vcl::TWinControl *>(Control) : nullptr;
        if (!windowed || !windowed->HandleAllocated() || !windowed->Parent()) return true;
        Walking = false;
        return AdaptControls(windowed);
    };
    for (int i = 0; root && i < Root->ComponentCount(); ++i)
        if (!visit(dynamic_cast<vcl::TControl *>(Root->Components(i)))) return false;
    for (int i = 0; root && i < Root->ControlCount(); ++i)
        if (!visit(Root->Controls(i))) return false;
    Walking = false;
    return true;
}

bool TvlCtrlAdapter::AcceptControl(vcl::TControl *Control) {
    if (!Control || Unskinnable(Control)) return false;
    auto *windowed = dynamic_cast<vcl::TWinControl *>(Control);
    if (windowed) {
        if (!windowed->HandleAllocated() || Handled(windowed)) return false;
        if (!dynamic_cast<vcl::TCustomForm *>(windowed)) {
            TsSkinManager *manager = Provider->SkinData()->GetSkinManager();
            return manager && KindOf(*Provider, *manager, windowed->ClassName()) >= 0;
        }
    } else if (!dynamic_cast<vcl::TCustomLabel *>(Control)) {
        return false;
    }
    // A form inside the form, and a label: the application decides.
    TvlSkinParams params;
    return AskEvents(*Provider, Control, {}, params) && params.OwnFont;
}

bool TvlCtrlAdapter::AddNewItem(vcl::TWinControl *Control, const std::string &SkinSection) {
    if (!Provider->AllowSkin3rdParty() || !Control || Unskinnable(Control) || !Control->Parent() || Handled(Control))
        return true;
    TvlSkinParams params;
    const vcl::TGuarded provider(Provider);
    const vcl::TGuarded<vcl::TWinControl> control(Control);
    if (!AskEvents(*Provider, Control, SkinSection, params) || !control) return static_cast<bool>(provider);
    if (auto *form = dynamic_cast<vcl::TCustomForm *>(Control)) {
        auto *inner = vcl::Create<TsSkinProvider>(form);
        inner->SkinData()->SetSkinSection(SkinSection.empty() ? std::string("FORM") : SkinSection);
        // (The preparation's colour change reaches the application, which
        // may free the inner form's provider.)
        if (inner->PrepareForm() && form->HandleAllocated()) SetNcRenderingPolicy(form->WindowHandle(), ncrpDisabled);
        return static_cast<bool>(provider);
    }
    TvlAdapterItem *item = ItemOf(Control);
    if (item) {
        if (item->Adapter && item->Adapter->Destroyed()) {
            item->Adapter.reset();
            if (Control->Parent()) item->CreateAdapter(params);
        }
        return true;
    }
    Items.push_back(std::make_unique<TvlAdapterItem>(this, Control));
    item = Items.back().get();
    item->CreateAdapter(params);
    if (!item->Adapter) Items.pop_back();
    return true;
}

void TvlCtrlAdapter::AddGraphicHandler(vcl::TControl *Control) {
    if (!Provider->AllowSkin3rdParty() || !Control || Unskinnable(Control) || !Control->Parent() || HandlerOf(Control) ||
        Handled(Control))
        return;
    TsSkinManager *manager = Provider->SkinData()->GetSkinManager();
    if (!manager) return;
    const int kind = KindOf(*Provider, *manager, Control->ClassName());
    if (kind < 0) return;
    TvlSkinParams params;
    if (!AskEvents(*Provider, Control, {}, params)) return;
    if (auto handler = AdapterFactory().CreateGraphicHandler(kind, Control, params, manager))
        GraphicHandlers.push_back(std::move(handler));
}

TvlGraphicHandler *TvlCtrlAdapter::HandlerOf(const vcl::TControl *Control) const {
    for (const auto &handler : GraphicHandlers)
        if (handler->HandledControl() == Control) return handler.get();
    return nullptr;
}

void TvlCtrlAdapter::PassMessage(const vcl::TMessage &Message) {
    for (std::size_t i = 0; i < GraphicHandlers.size(); ++i)
        if (vcl::TControl *control = GraphicHandlers[i]->HandledControl())
            control->Perform(Message.Msg, Message.WParam, Message.LParam);
    // A receiver may free items meanwhile: the count is read on every step.
    for (std::size_t i = 0; i < Items.size(); ++i) {
        TvlAdapterItem &item = *Items[i];
        if (!Alive(item) || !item.Control->Parent() || !item.Control->HandleAllocated()) continue;
        SendMessageW(item.Control->WindowHandle(), Message.Msg, Message.WParam, Message.LParam);
    }
}

void TvlCtrlAdapter::Purge() {
    Items.erase(std::remove_if(Items.begin(), Items.end(), [](const auto &item) { return !Alive(*item); }),
                Items.end());
    GraphicHandlers.erase(std::remove_if(GraphicHandlers.begin(), GraphicHandlers.end(),
                                         [](const auto &handler) { return !handler->HandledControl(); }),
                          GraphicHandlers.end());
}

void TvlCtrlAdapter::Clear() {
    if (ClearRunning) return;
    ClearRunning = true;
    while (!Items.empty()) Items.pop_back();
    while (!GraphicHandlers.empty()) GraphicHandlers.pop_back();
    ClearRunning = false;
}

TvlAdapterItem *TvlCtrlAdapter::ItemOf(const vcl::TWinControl *Control) const {
    for (const auto &item : Items)
        if (item->Control == Control) return item.get();
    return nullptr;
}

// ------------------------------------------------- the provider's side

void TsSkinProvider::SkinLabel(vcl::TCustomLabel *Label, bool Skin) {
    if (!Label) return;
    TsSkinManager *manager = FSkinData->GetSkinManager();
    const bool transparentAlways = manager && manager->LabelsOptions()->TransparentAlways;
    auto record = std::find_if(LabelRecords.begin(), LabelRecords.end(),
                               [Label](const TvlLabelRecord &r) { return r.Label == Label; });
    if (Skin) {
        if (Unskinnable(Label)) return;
        const TsSkinManager *colours = DefaultManager() ? DefaultManager() : manager;
        if (!colours) return;
        if (record == LabelRecords.end()) {
            const vcl::TControlStyle style = Label->ControlStyle();
            LabelRecords.push_back({Label->Font()->Color(), Label, Label->ParentFont(), style.Contains(vcl::csOpaque)});
            if (Label->Transparent() || transparentAlways) {
                vcl::TControlStyle transparent = style;
                transparent.Exclude(vcl::csOpaque);
                Label->SetControlStyle(transparent);
            }
        }
        Label->Font()->SetColor(colours->GetMainFontColor());
        return;
    }
    if (record == LabelRecords.end()) return;
    const TvlLabelRecord saved = *record;
    *record = LabelRecords.back();
    LabelRecords.pop_back();
    if (!saved.ParentFont)
        Label->Font()->SetColor(saved.FontColor);
    else if (!Label->ParentFont())
        Label->SetParentFont(true);
    else if (Label->Parent())
        Label->Font()->SetColor(Label->Parent()->Font()->Color());
    // The label gets back the opacity it had, whatever it is now.
    vcl::TControlStyle style = Label->ControlStyle();
    if (saved.Opaque)
        style.Include(vcl::csOpaque);
    else
        style.Exclude(vcl::csOpaque);
    Label->SetControlStyle(style);
    Label->Invalidate();
}

void TsSkinProvider::RemoveSkin(vcl::TMessage &Message) {
    if (!ControlAdapter) return;
    ControlAdapter->PassMessage(Message);
    ControlAdapter.reset();
}

} // namespace skin
