// TWindowSettings.
#include "WindowSettings.h"

#include "Profile.h"

namespace quire {

namespace {
const QString kWindow = QStringLiteral("Window");
const QString kFont = QStringLiteral("Font");
} // namespace

void TWindowSettings::Load(const QString& File) {
    const TWindowSettings d;
    Maximized = profile::ReadBool(File, kWindow, QStringLiteral("Maximize"), d.Maximized);
    Left = profile::ReadInteger(File, kWindow, QStringLiteral("Left"), d.Left);
    Top = profile::ReadInteger(File, kWindow, QStringLiteral("Top"), d.Top);
    Width = profile::ReadInteger(File, kWindow, QStringLiteral("Width"), d.Width);
    Height = profile::ReadInteger(File, kWindow, QStringLiteral("Height"), d.Height);
    FontName = profile::ReadString(File, kFont, QStringLiteral("Name"), d.FontName);
    if (FontName.isEmpty()) FontName = d.FontName;
    FontSize = profile::ReadInteger(File, kFont, QStringLiteral("Size"), d.FontSize);
}

void TWindowSettings::SavePlacement(const QString& File) const {
    if (Maximized) {
        profile::WriteBool(File, kWindow, QStringLiteral("Maximize"), true);
        return;
    }
    profile::WriteInteger(File, kWindow, QStringLiteral("Left"), Left);
    profile::WriteInteger(File, kWindow, QStringLiteral("Top"), Top);
    profile::WriteInteger(File, kWindow, QStringLiteral("Width"), Width);
    profile::WriteInteger(File, kWindow, QStringLiteral("Height"), Height);
    profile::WriteBool(File, kWindow, QStringLiteral("Maximize"), false);
}

void TWindowSettings::SaveFont(const QString& File) const {
    profile::WriteString(File, kFont, QStringLiteral("Name"), FontName);
    profile::WriteInteger(File, kFont, QStringLiteral("Size"), FontSize);
}

} // namespace quire
