// What a save of the settings came to, told from which keys the file held with the values to
// save before the writes and after them. Platform-free.
#pragma once

enum SaveOutcome {
    SETTINGS_NOT_SAVED,    // no key took its value: the file is as it was
    SETTINGS_SAVED,        // the file holds every value
    SETTINGS_PARTLY_SAVED, // some keys took their value and others did not
};

// heldBefore and heldAfter have bit n set when the file held key n with its value to save;
// allKeys has a bit for every key.
inline SaveOutcome OutcomeOfSave(unsigned heldBefore, unsigned heldAfter, unsigned allKeys)
{
    if ((heldAfter & allKeys) == allKeys)
        return SETTINGS_SAVED;
    if ((heldAfter & ~heldBefore & allKeys) == 0)
        return SETTINGS_NOT_SAVED;
    return SETTINGS_PARTLY_SAVED;
}
