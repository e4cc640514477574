#include "settings/ShortcutText.h"

#include <array>

namespace {

struct TNamedKey {
    Qt::Key key;
    const char* name;
};

constexpr std::array<TNamedKey, 16> NamedKeys = {{
    {Qt::Key_Backspace, "BkSp"}, {Qt::Key_Tab, "Tab"},      {Qt::Key_Escape, "Esc"},   {Qt::Key_Return, "Enter"},
    {Qt::Key_Space, "Space"},    {Qt::Key_PageUp, "PgUp"},  {Qt::Key_PageDown, "PgDn"}, {Qt::Key_End, "End"},
    {Qt::Key_Home, "Home"},      {Qt::Key_Left, "Left"},    {Qt::Key_Up, "Up"},        {Qt::Key_Right, "Right"},
    {Qt::Key_Down, "Down"},      {Qt::Key_Insert, "Ins"},   {Qt::Key_Delete, "Del"},   {Qt::Key_Enter, "Enter"},
}};

struct TModifierName {
    Qt::KeyboardModifier modifier;
    const char* prefix;
};

constexpr std::array<TModifierName, 3> ModifierNames = {{
    {Qt::ShiftModifier, "Shift+"},
    {Qt::ControlModifier, "Ctrl+"},
    {Qt::AltModifier, "Alt+"},
}};

constexpr int FunctionKeyCount = 24;

bool IsLetterOrDigit(Qt::Key key)
{
    return (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9);
}

QString KeyName(Qt::Key key)
{
    if (IsLetterOrDigit(key))
        return QString(QChar(static_cast<char16_t>(key)));
    if (key >= Qt::Key_F1 && key < Qt::Key_F1 + FunctionKeyCount)
        return QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    for (const TNamedKey& named : NamedKeys)
        if (named.key == key)
            return QString::fromLatin1(named.name);
    return QKeySequence(key).toString(QKeySequence::PortableText);
}

// The key a name stands for, or Qt::Key_unknown.
Qt::Key KeyFromName(const QString& name)
{
    if (name.isEmpty())
        return Qt::Key_unknown;
    if (name.size() == 1) {
        const QChar c = name.front().toUpper();
        if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
            return static_cast<Qt::Key>(c.unicode());
    }
    for (const TNamedKey& named : NamedKeys)
        if (name.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0)
            return named.key;
    if (name.size() >= 2 && name.front().toUpper() == u'F' && name[1].isDigit()) {
        bool number = false;
        const int index = name.mid(1).toInt(&number);
        if (number && index >= 1 && index <= FunctionKeyCount && name[1] != u'0')
            return static_cast<Qt::Key>(Qt::Key_F1 + index - 1);
        return Qt::Key_unknown;
    }
    // Any other key by the name Qt gives it; it must be exactly one key without modifiers.
    const QKeySequence other = QKeySequence::fromString(name, QKeySequence::PortableText);
    if (other.count() != 1 || other[0].keyboardModifiers() != Qt::NoModifier || other[0].key() == Qt::Key_unknown)
        return Qt::Key_unknown;
    const Qt::Key key = other[0].key();
    // A name of ours spelt the system's way is not a second spelling.
    return KeyName(key).compare(name, Qt::CaseInsensitive) == 0 ? key : Qt::Key_unknown;
}

}  // namespace

QString ShortCutToText(const QKeySequence& key)
{
    if (key.isEmpty() || key[0].key() == Qt::Key_unknown)
        return {};
    QString text;
    for (const TModifierName& modifier : ModifierNames)
        if (key[0].keyboardModifiers() & modifier.modifier)
            text += QLatin1String(modifier.prefix);
    return text + KeyName(key[0].key());
}

QKeySequence TextToShortCut(const QString& text)
{
    QString rest = text;
    Qt::KeyboardModifiers modifiers;
    // Prefixes in any order, each at most once; "Ctrl++" is Ctrl and the "+" key.
    for (bool found = true; found;) {
        found = false;
        for (const TModifierName& modifier : ModifierNames) {
            const QLatin1String prefix(modifier.prefix);
            if (!(modifiers & modifier.modifier) && rest.size() > prefix.size()
                && rest.startsWith(prefix, Qt::CaseInsensitive)) {
                modifiers |= modifier.modifier;
                rest = rest.mid(prefix.size());
                found = true;
            }
        }
    }
    const Qt::Key key = KeyFromName(rest);
    if (key == Qt::Key_unknown)
        return {};
    return QKeySequence(QKeyCombination(modifiers, key));
}
