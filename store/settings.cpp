#include "store/settings.h"

#include "store/settings_location.h"

FountainSettings FountainSettings::atDefaultLocation()
{
    return FountainSettings(
        ProfileFile(settings_location::settingsFile(), settings_location::legacySettingsFile()));
}

FountainSettings::ValveNames FountainSettings::valveNames() const
{
    ValveNames names;
    for (int v = 1; v <= kValves; ++v)
        names[std::size_t(v - 1)] =
            m_profile.readString(kSectionValves, valveKey(v), defaultValveName(v));
    return names;
}

void FountainSettings::saveValveNames(const ValveNames &names)
{
    for (int v = 1; v <= kValves; ++v)
        m_profile.writeString(kSectionValves, valveKey(v), names[std::size_t(v - 1)]);
}

QString FountainSettings::lastFormFile() const
{
    return m_profile.readString(kSectionOptions, kKeyLastFile, kDefaultLastFile);
}

void FountainSettings::saveLastFormFile(const QString &fileName)
{
    m_profile.writeString(kSectionOptions, kKeyLastFile, fileName);
}
