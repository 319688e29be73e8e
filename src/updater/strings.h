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

// File access of the runtime library. File name, the platform's text for the error.
inline constexpr const char* kCannotOpenFile = "Datei %s kann nicht geöffnet werden. %s";
// In place of the platform's text: a settings file beyond the reader's size limit.
inline constexpr const char* kFileTooLarge = "Die Datei ist größer als 1 MiB";
inline constexpr const char* kPathTooLong = "Der angegebene Pfad ist zu lang";
inline constexpr const char* kPathFormatNotSupported = "Das Pfadformat wird nicht unterstützt";
inline constexpr const char* kInvalidPathCharacters = "Ungültige Zeichen im Pfad";
inline constexpr const char* kPathNotFound = "Der angegebene Pfad wurde nicht gefunden";

}  // namespace Update::Strings
