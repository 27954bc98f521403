#include "FormWriter.h"

#include <charconv>

#include "Collection.h"
#include "Streams.h"
#include "StringList.h"
#include "SysUtils.h"
#include "TypInfo.h"

namespace vcl {

namespace {

constexpr int HexBytesPerLine = 32;

std::string Quote(const std::string &s) {
    std::string out = "\"";
    for (const char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 32) out += "\\x" + HexDigits(static_cast<unsigned char>(c), 2);
            else out.push_back(c);
        }
    }
    return out + "\"";
}

std::string FloatText(double v) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    // A float written without a fraction reads back as an integer, which a
    // float property takes as well; exponents need a fraction to be read.
    if (text.find('e') != std::string::npos && text.find('.') == std::string::npos)
        text.insert(text.find('e'), ".0");
    return text;
}

class TWriter : public TFiler {
public:
    explicit TWriter(const TComponent &Root) : FRoot(Root) {}

    std::string Write();
    void DefineBinaryProperty(const std::string &Name, const TStreamProc &ReadData, const TStreamProc &WriteData,
                              bool HasData) override;

private:
    void WriteComponent(const TComponent &C, int Indent);
    void WriteProperties(const TPersistent &Object, int Indent);
    void WriteProperty(const TPersistent &Object, const TPropInfo &Prop, int Indent);
    void WriteObject(const std::string &Name, const TPersistent &Object, int Indent);
    bool IsChildOf(const TComponent &C, const TComponent *Parent) const;
    void Line(int Indent, const std::string &Text);

    const TComponent &FRoot;
    std::string FOut;
    int FDefineIndent = 0;
};

std::string TWriter::Write() {
    WriteComponent(FRoot, 0);
    return FOut;
}

void TWriter::Line(int Indent, const std::string &Text) {
    FOut.append(static_cast<std::size_t>(Indent) * 4, ' ');
    FOut += Text;
    FOut += '\n';
}

bool TWriter::IsChildOf(const TComponent &C, const TComponent *Parent) const {
    const TComponent *p = C.GetParentComponent();
    // A parent outside the form cannot hold it in the text: it goes to the top.
    if (!p || p == &FRoot || p->Owner() != &FRoot) return Parent == &FRoot;
    return p == Parent;
}

void TWriter::WriteComponent(const TComponent &C, int Indent) {
    // The reader knows a component by its name: without one the text would not read back.
    if (C.Name().empty())
        throw EWriteError("Cannot write a " + C.ClassName() + " without a name into a form description");
    if (&C != &FRoot && SameText(C.Name(), FRoot.Name()))
        throw EWriteError("Cannot write the component " + C.Name() + " into a form description: the form has its name");
    Line(Indent, C.ClassName() + " " + C.Name() + " {");
    WriteProperties(C, Indent + 1);
    for (int i = 0; i < FRoot.ComponentCount(); ++i) {
        const TComponent &child = *FRoot.Components(i);
        if (&child != &C && IsChildOf(child, &C)) WriteComponent(child, Indent + 1);
    }
    Line(Indent, "}");
}

void TWriter::WriteProperties(const TPersistent &Object, int Indent) {
    const bool isComponent = Object.InheritsFrom<TComponent>();
    for (const TPropInfo *prop : GetPropList(Object.ClassInfo())) {
        if (isComponent && SameText(prop->Name(), "Name")) continue;  // written in the header
        WriteProperty(Object, *prop, Indent);
    }
    FDefineIndent = Indent;
    // DefineProperties is not const: it serves reading as well.
    const_cast<TPersistent &>(Object).DefineProperties(*this);
}

void TWriter::WriteProperty(const TPersistent &Object, const TPropInfo &Prop, int Indent) {
    const std::string &name = Prop.Name();
    if (!Prop.IsStored(&Object)) return;
    if (Prop.Kind() == tkClass) {
        const TObject *value = Prop.GetObject(&Object);
        if (!value) return;
        if (value->InheritsFrom<TComponent>()) {
            const auto *c = static_cast<const TComponent *>(value);
            if (Prop.IsWritable() && !c->Name().empty()) Line(Indent, name + " = " + c->Name());
            return;
        }
        if (value->InheritsFrom<TPersistent>()) WriteObject(name, static_cast<const TPersistent &>(*value), Indent);
        return;
    }
    if (!Prop.IsWritable() || Prop.IsDefaultValue(&Object)) return;
    std::string text;
    switch (Prop.Kind()) {
    case tkInteger:
    case tkInt64: {
        const std::int64_t v = Prop.GetOrd(&Object);
        if (!Prop.Idents() || !Prop.Idents()->ToIdent(v, text)) text = IntToStr(v);
        break;
    }
    case tkChar: {
        const std::int64_t v = Prop.GetOrd(&Object);
        text = v >= 32 && v < 127 ? Quote(std::string(1, static_cast<char>(v))) : IntToStr(v);
        break;
    }
    case tkEnumeration: text = Prop.EnumType()->Names(static_cast<int>(Prop.GetOrd(&Object))); break;
    case tkSet: {
        text = SetToString(*Prop.EnumType(), static_cast<std::uint32_t>(Prop.GetOrd(&Object)), true);
        // The text form joins with bare commas; the description reads better spaced.
        std::string spaced;
        for (const char c : text) spaced += c == ',' ? std::string(", ") : std::string(1, c);
        text = spaced;
        break;
    }
    case tkFloat: text = FloatText(Prop.GetFloat(&Object)); break;
    case tkString: text = Quote(Prop.GetStr(&Object)); break;
    case tkMethod:
        text = MethodName(&FRoot, Prop.GetMethod(&Object));
        if (text.empty()) return;  // a handler the form does not publish cannot be named
        break;
    case tkClass:
    case tkUnknown: return;
    }
    Line(Indent, name + " = " + text);
}

void TWriter::WriteObject(const std::string &Name, const TPersistent &Object, int Indent) {
    if (Object.InheritsFrom<TStrings>()) {
        const auto &strings = static_cast<const TStrings &>(Object);
        if (strings.Count() == 0) return;
        Line(Indent, Name + " = (");
        for (int i = 0; i < strings.Count(); ++i)
            Line(Indent + 1, Quote(strings.Strings(i)) + (i + 1 < strings.Count() ? "," : ""));
        Line(Indent, ")");
        return;
    }
    if (Object.InheritsFrom<TCollection>()) {
        const auto &items = static_cast<const TCollection &>(Object);
        if (items.Count() == 0) return;
        Line(Indent, Name + " {");
        for (int i = 0; i < items.Count(); ++i) {
            Line(Indent + 1, "item {");
            WriteProperties(*items.Items(i), Indent + 2);
            Line(Indent + 1, "}");
        }
        Line(Indent, "}");
        return;
    }
    // A sub-object is written only when something in it differs from its defaults.
    const std::size_t mark = FOut.size();
    Line(Indent, Name + " {");
    const std::size_t body = FOut.size();
    WriteProperties(Object, Indent + 1);
    if (FOut.size() == body) {
        FOut.resize(mark);
        return;
    }
    Line(Indent, "}");
}

void TWriter::DefineBinaryProperty(const std::string &Name, const TStreamProc &, const TStreamProc &WriteData,
                                   bool HasData) {
    if (!HasData || !WriteData) return;
    TMemoryStream data;
    WriteData(data);
    const int indent = FDefineIndent;
    Line(indent, Name + " = hex {");
    const std::uint8_t *bytes = data.Memory();
    const auto size = static_cast<std::size_t>(data.Size());
    for (std::size_t at = 0; at < size; at += HexBytesPerLine) {
        std::string line;
        for (std::size_t i = at; i < size && i < at + HexBytesPerLine; ++i) line += HexDigits(bytes[i], 2);
        Line(indent + 1, line);
    }
    Line(indent, "}");
}

} // namespace

std::string WriteComponentText(const TComponent &Root) { return TWriter(Root).Write(); }

} // namespace vcl
