// The installation's settings: the valve names and the last saved form file,
// kept in the settings file "Fonvira.ini". Every operation opens the file
// afresh; nothing is kept between them.
#pragma once

#include "core/form_layout.h"
#include "core/profile.h"

#include <array>

class FountainSettings
{
  public:
    using ValveNames = std::array<QString, form_layout::kValves>;

    static inline const QString kSectionValves = QStringLiteral("Zadvizki");
    static inline const QString kSectionOptions = QStringLiteral("Options");
    static inline const QString kKeyLastFile = QStringLiteral("NameFileForm");
    // The last file's name where NameFileForm cannot hold it exactly: its UTF-8
    // bytes, percent-encoded but for '/', so the line is plain ASCII.
    static inline const QString kKeyLastFileEscaped = QStringLiteral("NameFileFormUtf8");
    static inline const QString kDefaultLastFile = QStringLiteral("UserForm.frm");

    explicit FountainSettings(ProfileFile profile) : m_profile(std::move(profile)) {}
    // The platform's place for the file.
    static FountainSettings atDefaultLocation();

    [[nodiscard]] const ProfileFile &profile() const { return m_profile; }
    [[nodiscard]] const QString &path() const { return m_profile.path(); }

    // Name_1 .. Name_8 of section Zadvizki, in that order; "NoName1" ..
    // "NoName8" where a key is missing.
    [[nodiscard]] ValveNames valveNames() const;
    // Writes Name_1 .. Name_8 in one rewrite of the file, so that names saved
    // by two editors at once never mix; throws ESettingsWriteError, and then
    // none is written.
    void saveValveNames(const ValveNames &names);

    // NameFileForm of section Options, else the escaped name beside it;
    // "UserForm.frm" when both are missing.
    [[nodiscard]] QString lastFormFile() const;
    // A name the file holds exactly goes into NameFileForm, as older programs
    // read it. Any other (a character outside Windows-1251, a line break, more
    // than 2047 characters) goes escaped into NameFileFormUtf8, and
    // NameFileForm is left empty: a reader that knows only NameFileForm then
    // opens nothing rather than a file of a similar name. A name that cannot
    // be escaped either (not valid UTF-16) is not recorded at all.
    void saveLastFormFile(const QString &fileName);

    static QString valveKey(int valve) { return QStringLiteral("Name_%1").arg(valve); }
    static QString defaultValveName(int valve) { return QStringLiteral("NoName%1").arg(valve); }

  private:
    ProfileFile m_profile;
};
