// The installation's settings: the valve names and the last saved form file,
// kept in the settings file "Fonvira.ini". Every operation opens the file
// afresh; nothing is kept between them.
#pragma once

#include "store/profile.h"

#include <array>

class FountainSettings
{
  public:
    static constexpr int kValves = 8;
    using ValveNames = std::array<QString, kValves>;

    static inline const QString kSectionValves = QStringLiteral("Zadvizki");
    static inline const QString kSectionOptions = QStringLiteral("Options");
    static inline const QString kKeyLastFile = QStringLiteral("NameFileForm");
    static inline const QString kDefaultLastFile = QStringLiteral("UserForm.frm");

    explicit FountainSettings(ProfileFile profile) : m_profile(std::move(profile)) {}
    // The platform's place for the file.
    static FountainSettings atDefaultLocation();

    const ProfileFile &profile() const { return m_profile; }
    const QString &path() const { return m_profile.path(); }

    // Name_1 .. Name_8 of section Zadvizki, in that order; "NoName1" ..
    // "NoName8" where a key is missing.
    ValveNames valveNames() const;
    // Writes Name_1 .. Name_8 in that order; throws ESettingsWriteError, and
    // the keys written before the failure stay written.
    void saveValveNames(const ValveNames &names);

    // NameFileForm of section Options; "UserForm.frm" when missing.
    QString lastFormFile() const;
    void saveLastFormFile(const QString &fileName);

    static QString valveKey(int valve) { return QStringLiteral("Name_%1").arg(valve); }
    static QString defaultValveName(int valve) { return QStringLiteral("NoName%1").arg(valve); }

  private:
    ProfileFile m_profile;
};
