#pragma once

// Every text the updater shows a person, in one place. Placeholders are "%s" and "%d",
// filled in the order the comment beside each text gives.
namespace Update::Strings {

// The update job's steps.
inline constexpr const char* kParsingParameters = "Parse die Parameter!";
inline constexpr const char* kCheckingDirectories = "Überprüfe das Quell- und das Zielverzeichnis!";
inline constexpr const char* kWaitingForCaller = "Warte auf den Aufrufer!";
// window class, caption
inline constexpr const char* kCallerStillRunning = "Finde den Aufrufer [%s, %s] noch im Speicher!";
inline constexpr const char* kCollectingFiles = "Ermittle zu kopierende Dateien!";
inline constexpr const char* kRunningDatabaseUpdate = "Führe das Datenbank-Update aus!";
inline constexpr const char* kRestartingCaller = "Führe den Aufrufer wieder aus!";
// full path of the lock file
inline constexpr const char* kLockFileNotCreated =
    "Die Datei %s kann nicht erstellt werden! Bitte überprüfen Sie die Berechtigungen!";

// The file hand-over. Full path of the staged file, number of the try.
inline constexpr const char* kCopyingFile = "Kopiere Datei [%s] (%d Versuch)";
// full path of the staged file
inline constexpr const char* kCopyFailed = "Fehler beim Kopieren der Datei [%s]";

// The settings-file lookup.
inline constexpr const char* kSettingsFileNotFound =
    "Datei nicht gefunden! Bitte wenden Sie sich an die NEB!";

}  // namespace Update::Strings
