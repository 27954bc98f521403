#include "FormReader.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "Collection.h"
#include "StringList.h"
#include "SysUtils.h"
#include "TypInfo.h"

namespace vcl {

namespace {

// Deeper nesting than this is taken as damage, not as a form.
constexpr int MaxDepth = 64;

enum class TTok { End, Ident, Integer, Float, String, LBrace, RBrace, LBracket, RBracket, LParen, RParen, Equals, Comma, Dot };

struct TToken {
    TTok Kind = TTok::End;
    std::string Text;  // identifier or string contents; the source text of numbers
    std::int64_t Int = 0;
    double Float = 0;
    int Line = 1;
};

std::string Describe(const TToken &t) {
    switch (t.Kind) {
    case TTok::End: return "the end of the description";
    case TTok::Ident: return "'" + t.Text + "'";
    case TTok::Integer:
    case TTok::Float: return "the number " + t.Text;
    case TTok::String: return "a string";
    default: return "'" + t.Text + "'";
    }
}

// "'c'", built by appending: GCC 12 misreads `"'" + std::string(1, c)` as an overlapping copy.
std::string QuotedChar(char c) {
    std::string s(1, '\'');
    s += c;
    s += '\'';
    return s;
}

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class TLexer {
public:
    TLexer(std::string_view text, std::string source) : FText(text), FSource(std::move(source)) {}

    [[noreturn]] void Fail(int line, const std::string &message) const {
        throw EParserError(FSource + "(" + std::to_string(line) + "): " + message, line);
    }

    TToken Next() {
        SkipBlanks();
        TToken t;
        t.Line = FLine;
        if (FPos >= FText.size()) return t;
        const char c = FText[FPos];
        if (IsIdentStart(c)) {
            const std::size_t start = FPos;
            while (FPos < FText.size() && (IsIdentStart(FText[FPos]) || IsDigit(FText[FPos]))) ++FPos;
            t.Kind = TTok::Ident;
            t.Text = std::string(FText.substr(start, FPos - start));
            return t;
        }
        if (IsDigit(c) || c == '$' || (c == '-' && FPos + 1 < FText.size() && (IsDigit(FText[FPos + 1]) || FText[FPos + 1] == '$')))
            return Number(t);
        if (c == '"') return String(t);
        static const std::string_view marks = "{}[]()=,.";
        const std::size_t m = marks.find(c);
        if (m == std::string_view::npos) Fail(FLine, "unexpected character " + QuotedChar(c));
        static const TTok kinds[] = {TTok::LBrace, TTok::RBrace, TTok::LBracket, TTok::RBracket, TTok::LParen,
                                     TTok::RParen, TTok::Equals, TTok::Comma,    TTok::Dot};
        t.Kind = kinds[m];
        t.Text = std::string(1, c);
        ++FPos;
        return t;
    }

    // A hex block right after the word "hex": "{", digit pairs, "}". Read
    // here, below the tokens, since its digits are no tokens.
    std::vector<std::uint8_t> HexBlock(int line) {
        SkipBlanks();
        if (FPos >= FText.size() || FText[FPos] != '{') Fail(FLine, "expected '{' after 'hex'");
        ++FPos;
        std::vector<std::uint8_t> bytes;
        int high = -1;
        for (;;) {
            SkipBlanks();
            if (FPos >= FText.size()) Fail(line, "the hex block is not closed with '}'");
            const char c = FText[FPos++];
            if (c == '}') break;
            const int v = HexValue(c);
            if (v < 0) Fail(FLine, QuotedChar(c) + " is not a hex digit");
            if (high < 0) {
                high = v;
            } else {
                bytes.push_back(static_cast<std::uint8_t>(high << 4 | v));
                high = -1;
            }
        }
        if (high >= 0) Fail(line, "the hex block has an odd number of digits");
        return bytes;
    }

private:
    void SkipBlanks() {
        while (FPos < FText.size()) {
            const char c = FText[FPos];
            if (c == '\n') {
                ++FLine;
                ++FPos;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++FPos;
            } else if (c == '#' || (c == '/' && FPos + 1 < FText.size() && FText[FPos + 1] == '/')) {
                while (FPos < FText.size() && FText[FPos] != '\n') ++FPos;
            } else {
                break;
            }
        }
    }

    TToken Number(TToken &t) {
        const std::size_t start = FPos;
        const bool negative = FText[FPos] == '-';
        if (negative) ++FPos;
        if (FText[FPos] == '$') {
            ++FPos;
            const std::size_t digits = FPos;
            std::uint64_t v = 0;
            while (FPos < FText.size() && HexValue(FText[FPos]) >= 0) {
                if (v >> 60) Fail(FLine, "the number is too large");
                v = v << 4 | static_cast<unsigned>(HexValue(FText[FPos++]));
            }
            if (FPos == digits) Fail(FLine, "'$' is not followed by hex digits");
            t.Int = static_cast<std::int64_t>(negative ? ~v + 1 : v);
            t.Kind = TTok::Integer;
        } else {
            while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
            bool isFloat = false;
            if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsDigit(FText[FPos + 1])) {
                isFloat = true;
                ++FPos;
                while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
                if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
                    ++FPos;
                    if (FPos < FText.size() && (FText[FPos] == '+' || FText[FPos] == '-')) ++FPos;
                    while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
                }
            }
            const std::string_view text = FText.substr(start, FPos - start);
            if (isFloat) {
                t.Kind = TTok::Float;
                // from_chars reads '.' whatever the locale says.
                auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), t.Float);
                if (ec != std::errc() || end != text.data() + text.size()) Fail(FLine, "bad number " + std::string(text));
            } else {
                t.Kind = TTok::Integer;
                if (!TryStrToInt64(text, t.Int)) Fail(FLine, "the number " + std::string(text) + " is too large");
            }
        }
        if (FPos < FText.size() && (IsIdentStart(FText[FPos]) || IsDigit(FText[FPos])))
            Fail(FLine, "bad number " + std::string(FText.substr(start, FPos + 1 - start)));
        t.Text = std::string(FText.substr(start, FPos - start));
        return t;
    }

    TToken String(TToken &t) {
        ++FPos;
        for (;;) {
            if (FPos >= FText.size() || FText[FPos] == '\n') Fail(t.Line, "the string is not closed on its line");
            const char c = FText[FPos++];
            if (c == '"') break;
            if (c != '\\') {
                t.Text.push_back(c);
                continue;
            }
            if (FPos >= FText.size()) Fail(t.Line, "the string is not closed on its line");
            const char e = FText[FPos++];
            switch (e) {
            case '"': t.Text.push_back('"'); break;
            case '\\': t.Text.push_back('\\'); break;
            case 'n': t.Text.push_back('\n'); break;
            case 'r': t.Text.push_back('\r'); break;
            case 't': t.Text.push_back('\t'); break;
            case 'x': {
                const int h = FPos < FText.size() ? HexValue(FText[FPos]) : -1;
                const int l = FPos + 1 < FText.size() ? HexValue(FText[FPos + 1]) : -1;
                if (h < 0 || l < 0) Fail(t.Line, "\\x needs two hex digits");
                t.Text.push_back(static_cast<char>(h << 4 | l));
                FPos += 2;
                break;
            }
            default: Fail(t.Line, "unknown escape " + QuotedChar(e));
            }
        }
        t.Kind = TTok::String;
        return t;
    }

    std::string_view FText;
    std::string FSource;
    std::size_t FPos = 0;
    int FLine = 1;
};

} // namespace

// Reads one description into its root. A friend of TComponent for the
// loading states.
class TReader : public TFiler {
public:
    TReader(TComponent &Root, std::string_view Text, const TResourceLoader &Resources, std::string Source)
        : FRoot(Root), FLex(Text, std::move(Source)), FResources(Resources) {}

    void Read();
    void DefineBinaryProperty(const std::string &Name, const TStreamProc &ReadData, const TStreamProc &WriteData,
                              bool HasData) override;

private:
    struct TFixup {
        TObject *Instance;
        const TPropInfo *Prop;
        std::string Name;
        int Line;
    };

    // Tokens
    const TToken &Peek() const { return FTok; }
    TToken Take() {
        TToken t = std::move(FTok);
        FTok = FLex.Next();
        return t;
    }
    TToken Expect(TTok kind, const char *what) {
        if (FTok.Kind != kind) Fail(FTok.Line, "expected " + std::string(what) + ", found " + Describe(FTok));
        return Take();
    }
    [[noreturn]] void Fail(int line, const std::string &message) const { FLex.Fail(line, message); }

    // Grammar
    void ReadMembers(TComponent *Component, TPersistent *Object, bool AllowComponents, TCollection *Items, int Depth);
    void ReadComponent(const TToken &ClassTok, const TToken &NameTok, TComponent *Parent, int Depth);
    const TPublishedField *CheckFieldClass(const TClassInfo &Class, const std::string &Name, int Line) const;
    void CheckRename(const TPersistent &Target, const TPropInfo &Prop, const TToken &Value) const;
    std::vector<TToken> ReadPath(TToken First);
    TPersistent *Navigate(TPersistent *Object, const std::vector<TToken> &Path, std::size_t Count);
    void ReadAssignment(TPersistent *Object, const std::vector<TToken> &Path);
    void ReadBlock(TComponent *Component, TPersistent *Object, const std::vector<TToken> &Path, int Depth);
    void ReadValue(TPersistent *Target, const TPropInfo &Prop, const TToken &NameTok);
    void ReadStrings(TPersistent *Target, const TPropInfo &Prop, const TToken &NameTok);
    std::unique_ptr<TStream> ReadBinary();
    void ResolveFixups();
    void SetLoadingStates(bool Reading, bool Loading);

    TComponent &FRoot;
    TLexer FLex;
    const TResourceLoader &FResources;
    TToken FTok;
    std::vector<TComponent *> FLoaded;  // stored order, the root first
    std::vector<TFixup> FFixups;

    // The binary block looked for through DefineProperties.
    const std::string *FBinaryName = nullptr;
    TStream *FBinaryData = nullptr;
    bool FBinaryTaken = false;
};

void TReader::Read() {
    FTok = FLex.Next();
    const TToken classTok = Expect(TTok::Ident, "the class of the form");
    const TToken nameTok = Expect(TTok::Ident, "the name of the form");
    if (!SameText(classTok.Text, FRoot.ClassName()))
        Fail(classTok.Line, "the description is of a " + classTok.Text + ", not of a " + FRoot.ClassName());
    Expect(TTok::LBrace, "'{'");

    FLoaded.push_back(&FRoot);
    SetLoadingStates(true, true);
    try {
        try {
            FRoot.SetName(nameTok.Text);
        } catch (const Exception &e) {
            Fail(nameTok.Line, e.Message());
        }
        ReadMembers(&FRoot, &FRoot, true, nullptr, 1);
        if (Peek().Kind != TTok::End) Fail(Peek().Line, "expected the end of the description, found " + Describe(Peek()));
        ResolveFixups();
    } catch (...) {
        SetLoadingStates(false, false);
        throw;
    }
    SetLoadingStates(false, true);
    for (TComponent *c : FLoaded) {
        c->Loaded();
        c->FComponentState.Exclude(csLoading);
    }
}

void TReader::SetLoadingStates(bool Reading, bool Loading) {
    for (TComponent *c : FLoaded) {
        if (Reading) c->FComponentState.Include(csReading);
        else c->FComponentState.Exclude(csReading);
        if (Loading) c->FComponentState.Include(csLoading);
        else c->FComponentState.Exclude(csLoading);
    }
}

void TReader::ReadMembers(TComponent *Component, TPersistent *Object, bool AllowComponents, TCollection *Items, int Depth) {
    if (Depth > MaxDepth) Fail(Peek().Line, "the description is nested too deeply");
    for (;;) {
        if (Peek().Kind == TTok::RBrace) {
            Take();
            return;
        }
        if (Peek().Kind == TTok::End) Fail(Peek().Line, "the description ends before '}'");
        TToken first = Expect(TTok::Ident, "a property or a component");
        if (Items) {
            if (!SameText(first.Text, "item")) Fail(first.Line, "a collection holds only 'item' blocks, not " + Describe(first));
            Expect(TTok::LBrace, "'{' after 'item'");
            TCollectionItem *item = nullptr;
            try {
                item = Items->Add();
            } catch (const Exception &e) {
                Fail(first.Line, e.Message());
            }
            ReadMembers(Component, item, false, nullptr, Depth + 1);
            continue;
        }
        if (Peek().Kind == TTok::Ident) {
            if (!AllowComponents) Fail(first.Line, "a component cannot be declared inside a property");
            const TToken nameTok = Take();
            Expect(TTok::LBrace, "'{' after the component's name");
            ReadComponent(first, nameTok, Component, Depth + 1);
            continue;
        }
        const std::vector<TToken> path = ReadPath(std::move(first));
        if (Peek().Kind == TTok::Equals) {
            Take();
            ReadAssignment(Object, path);
        } else if (Peek().Kind == TTok::LBrace) {
            Take();
            ReadBlock(Component, Object, path, Depth + 1);
        } else {
            Fail(Peek().Line, "expected '=' or '{' after " + Describe(path.back()) + ", found " + Describe(Peek()));
        }
    }
}

std::vector<TToken> TReader::ReadPath(TToken First) {
    std::vector<TToken> path{std::move(First)};
    while (Peek().Kind == TTok::Dot) {
        Take();
        path.push_back(Expect(TTok::Ident, "a property name after '.'"));
    }
    return path;
}

void TReader::ReadComponent(const TToken &ClassTok, const TToken &NameTok, TComponent *Parent, int Depth) {
    const TClassInfo *cls = FindFieldClass(FRoot.ClassInfo(), ClassTok.Text);
    if (!cls) cls = GetClass(ClassTok.Text);
    if (!cls) Fail(ClassTok.Line, "unknown class " + ClassTok.Text);
    if (!cls->InheritsFrom(TComponent::StaticClassInfo())) Fail(ClassTok.Line, cls->Name + " is not a component class");
    const TPublishedField *field = CheckFieldClass(*cls, NameTok.Text, ClassTok.Line);
    if (SameText(NameTok.Text, FRoot.Name()) || FRoot.FindComponent(NameTok.Text))
        Fail(NameTok.Line, "a component named " + NameTok.Text + " exists already");

    TComponent *c = nullptr;
    try {
        c = CreateComponent(*cls, &FRoot);
        c->FComponentState.Include(csLoading);
        c->FComponentState.Include(csReading);
        FLoaded.push_back(c);
        c->SetName(NameTok.Text);
        if (field) field->Assign(&FRoot, c);
        if (Parent) c->SetParentComponent(Parent);
    } catch (const EParserError &) {
        throw;
    } catch (const Exception &e) {
        Fail(ClassTok.Line, e.Message());
    }
    ReadMembers(c, c, true, nullptr, Depth);
}

const TPublishedField *TReader::CheckFieldClass(const TClassInfo &Class, const std::string &Name, int Line) const {
    const TPublishedField *field = FindPublishedField(FRoot.ClassInfo(), Name);
    if (field && !Class.InheritsFrom(field->FieldClass()))
        Fail(Line, "the field " + field->Name + " of " + FRoot.ClassName() + " is a " + field->FieldClass().Name +
                       ", not a " + Class.Name);
    return field;
}

// The written text names the form and each of its components in a header,
// and finds them again by those names alone: what `Name =` gives one of them
// must be a name that a header could carry in its place. The class library
// keeps a form apart from its components by ownership and lets them share a
// name; a description cannot.
void TReader::CheckRename(const TPersistent &Target, const TPropInfo &Prop, const TToken &Value) const {
    if (!Target.InheritsFrom<TComponent>() || !SameText(Prop.Name(), "Name")) return;
    const auto &c = static_cast<const TComponent &>(Target);
    const bool isRoot = &c == &FRoot;
    if (!isRoot && c.Owner() != &FRoot) return;  // not written with the form
    if (Value.Text.empty()) Fail(Value.Line, "a component of the form needs a name");
    if (SameText(Value.Text, c.Name())) return;
    if (isRoot ? FRoot.FindComponent(Value.Text) != nullptr : SameText(Value.Text, FRoot.Name()))
        Fail(Value.Line, "a component named " + Value.Text + " exists already");
    if (!isRoot) CheckFieldClass(c.ClassInfo(), Value.Text, Value.Line);
}

TPersistent *TReader::Navigate(TPersistent *Object, const std::vector<TToken> &Path, std::size_t Count) {
    for (std::size_t i = 0; i < Count; ++i) {
        const TToken &seg = Path[i];
        const TPropInfo *prop = GetPropInfo(Object, seg.Text);
        if (!prop) Fail(seg.Line, "unknown property " + seg.Text + " of " + Object->ClassName());
        if (prop->Kind() != tkClass) Fail(seg.Line, "the property " + seg.Text + " of " + Object->ClassName() + " has no properties");
        TObject *sub = prop->GetObject(Object);
        if (!sub) Fail(seg.Line, "the property " + seg.Text + " of " + Object->ClassName() + " holds no object");
        if (!sub->InheritsFrom<TPersistent>()) Fail(seg.Line, "the object in " + seg.Text + " cannot be described");
        Object = static_cast<TPersistent *>(sub);
    }
    return Object;
}

void TReader::ReadBlock(TComponent *Component, TPersistent *Object, const std::vector<TToken> &Path, int Depth) {
    TPersistent *target = Navigate(Object, Path, Path.size());
    if (!target->InheritsFrom<TCollection>()) {
        ReadMembers(Component, target, false, nullptr, Depth);
        return;
    }
    auto *items = static_cast<TCollection *>(target);
    Updating(*items, [&] {
        items->Clear();
        ReadMembers(Component, items, false, items, Depth);
    });
}

void TReader::ReadAssignment(TPersistent *Object, const std::vector<TToken> &Path) {
    TPersistent *target = Navigate(Object, Path, Path.size() - 1);
    const TToken &nameTok = Path.back();
    const TPropInfo *prop = GetPropInfo(target, nameTok.Text);
    if (prop) {
        try {
            ReadValue(target, *prop, nameTok);
        } catch (const EParserError &) {
            throw;
        } catch (const Exception &e) {
            Fail(nameTok.Line, e.Message());
        }
        return;
    }
    // Not published: the object may store it itself as a binary block.
    if (Peek().Kind != TTok::Ident || !(SameText(Peek().Text, "hex") || SameText(Peek().Text, "resource")))
        Fail(nameTok.Line, "unknown property " + nameTok.Text + " of " + target->ClassName());
    std::unique_ptr<TStream> data = ReadBinary();
    FBinaryName = &nameTok.Text;
    FBinaryData = data.get();
    FBinaryTaken = false;
    try {
        target->DefineProperties(*this);
    } catch (const Exception &e) {
        FBinaryName = nullptr;
        Fail(nameTok.Line, "the data " + nameTok.Text + " of " + target->ClassName() + " cannot be read: " + e.Message());
    }
    FBinaryName = nullptr;
    FBinaryData = nullptr;
    if (!FBinaryTaken) Fail(nameTok.Line, "unknown property " + nameTok.Text + " of " + target->ClassName());
}

void TReader::DefineBinaryProperty(const std::string &Name, const TStreamProc &ReadData, const TStreamProc &,
                                   bool) {
    if (!FBinaryName || FBinaryTaken || !SameText(Name, *FBinaryName) || !ReadData) return;
    FBinaryTaken = true;
    FBinaryData->SetPosition(0);
    ReadData(*FBinaryData);
}

std::unique_ptr<TStream> TReader::ReadBinary() {
    if (SameText(Peek().Text, "hex")) {
        // The lexer stands right after the word: the block is read from there.
        const std::vector<std::uint8_t> bytes = FLex.HexBlock(Peek().Line);
        auto data = std::make_unique<TMemoryStream>();
        if (!bytes.empty()) data->WriteBuffer(bytes.data(), bytes.size());
        FTok = FLex.Next();
        return data;
    }
    Take();
    const TToken name = Expect(TTok::String, "the name of the resource");
    if (!FResources) Fail(name.Line, "the resource " + name.Text + " cannot be read: no resources are available");
    std::unique_ptr<TStream> data;
    try {
        data = FResources(name.Text);
    } catch (const Exception &e) {
        Fail(name.Line, "the resource " + name.Text + " cannot be read: " + e.Message());
    }
    if (!data) Fail(name.Line, "the resource " + name.Text + " does not exist");
    return data;
}

void TReader::ReadValue(TPersistent *Target, const TPropInfo &Prop, const TToken &NameTok) {
    const TToken &v = Peek();
    const std::string what = "the property " + Prop.Name();
    auto needWritable = [&] {
        if (!Prop.IsWritable()) Fail(NameTok.Line, what + " is read-only");
    };
    switch (Prop.Kind()) {
    case tkInteger:
    case tkInt64:
        needWritable();
        if (v.Kind == TTok::Integer) {
            Prop.SetOrd(Target, v.Int);
        } else if (v.Kind == TTok::Ident && Prop.Idents()) {
            std::int64_t value;
            if (!Prop.Idents()->ToValue(v.Text, value)) Fail(v.Line, "unknown identifier " + v.Text + " for " + what);
            Prop.SetOrd(Target, value);
        } else {
            Fail(v.Line, "expected a number for " + what + ", found " + Describe(v));
        }
        Take();
        return;
    case tkChar:
        needWritable();
        if (v.Kind == TTok::String && v.Text.size() == 1) Prop.SetOrd(Target, v.Text[0]);
        else if (v.Kind == TTok::Integer) Prop.SetOrd(Target, v.Int);
        else Fail(v.Line, "expected one character for " + what + ", found " + Describe(v));
        Take();
        return;
    case tkEnumeration: {
        needWritable();
        if (v.Kind != TTok::Ident) Fail(v.Line, "expected an element of " + Prop.EnumType()->TypeName() + " for " + what);
        const int value = Prop.EnumType()->ValueOf(v.Text);
        if (value < 0) Fail(v.Line, v.Text + " is not an element of " + Prop.EnumType()->TypeName());
        Prop.SetOrd(Target, value);
        Take();
        return;
    }
    case tkFloat:
        needWritable();
        if (v.Kind == TTok::Float) Prop.SetFloat(Target, v.Float);
        else if (v.Kind == TTok::Integer) Prop.SetFloat(Target, static_cast<double>(v.Int));
        else Fail(v.Line, "expected a number for " + what + ", found " + Describe(v));
        Take();
        return;
    case tkString:
        needWritable();
        if (v.Kind != TTok::String) Fail(v.Line, "expected a string for " + what + ", found " + Describe(v));
        CheckRename(*Target, Prop, v);
        Prop.SetStr(Target, v.Text);
        Take();
        return;
    case tkSet: {
        needWritable();
        Expect(TTok::LBracket, "'[' for a set");
        std::uint32_t bits = 0;
        while (Peek().Kind != TTok::RBracket) {
            const TToken element = Expect(TTok::Ident, "an element of the set");
            const int e = Prop.EnumType()->ValueOf(element.Text);
            if (e < 0 || e >= 32) Fail(element.Line, element.Text + " is not an element of " + Prop.EnumType()->TypeName());
            bits |= std::uint32_t{1} << e;
            if (Peek().Kind != TTok::Comma) break;
            Take();
        }
        Expect(TTok::RBracket, "']' to close the set");
        Prop.SetOrd(Target, bits);
        return;
    }
    case tkMethod: {
        needWritable();
        const TToken handler = Expect(TTok::Ident, "the name of a method");
        if (SameText(handler.Text, "nil")) {
            Prop.SetMethod(Target, {});
            return;
        }
        const TMethodRef method = MethodAddress(&FRoot, handler.Text);
        if (!method) Fail(handler.Line, FRoot.ClassName() + " has no published method " + handler.Text);
        if (*method.Signature != *Prop.Signature())
            Fail(handler.Line, "the method " + handler.Text + " does not fit the event " + Prop.Name());
        Prop.SetMethod(Target, method);
        return;
    }
    case tkClass:
        if (v.Kind == TTok::LParen) {
            ReadStrings(Target, Prop, NameTok);
            return;
        }
        if (v.Kind == TTok::Ident) {
            needWritable();
            const TToken ref = Take();
            if (SameText(ref.Text, "nil")) Prop.SetObject(Target, nullptr);
            else FFixups.push_back(TFixup{Target, &Prop, ref.Text, ref.Line});
            return;
        }
        Fail(v.Line, "expected a component name, '(' or '{' for " + what + ", found " + Describe(v));
    case tkUnknown: break;
    }
    Fail(NameTok.Line, what + " cannot be read");
}

void TReader::ReadStrings(TPersistent *Target, const TPropInfo &Prop, const TToken &NameTok) {
    TObject *object = Prop.GetObject(Target);
    if (!object || !object->InheritsFrom<TStrings>()) Fail(NameTok.Line, "the property " + Prop.Name() + " holds no string list");
    auto *strings = static_cast<TStrings *>(object);
    Expect(TTok::LParen, "'('");
    Updating(*strings, [&] {
        strings->Clear();
        while (Peek().Kind != TTok::RParen) {
            strings->Add(Expect(TTok::String, "a string of the list").Text);
            if (Peek().Kind != TTok::Comma) break;
            Take();
        }
        Expect(TTok::RParen, "')' to close the list");
    });
}

void TReader::ResolveFixups() {
    for (const TFixup &f : FFixups) {
        TComponent *c = SameText(f.Name, FRoot.Name()) ? &FRoot : FRoot.FindComponent(f.Name);
        if (!c) Fail(f.Line, "unknown component " + f.Name);
        try {
            f.Prop->SetObject(f.Instance, c);
        } catch (const Exception &e) {
            Fail(f.Line, e.Message());
        }
    }
}

void ReadComponentText(TComponent &Root, std::string_view Text, const TResourceLoader &Resources, std::string_view SourceName) {
    TReader reader(Root, Text, Resources, SourceName.empty() ? Root.ClassName() : std::string(SourceName));
    reader.Read();
}

} // namespace vcl
