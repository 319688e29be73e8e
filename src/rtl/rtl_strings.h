#pragma once

// The runtime library's messages, as the program's users read them. printf-style
// placeholders are filled in the order the comment states.
namespace RTL::Strings {

inline constexpr const char* kOperationAborted = "Operation abgebrochen";

// Address of the faulting code, then the address it tried to reach.
inline constexpr const char* kAccessViolationRead =
    "Zugriffsverletzung bei Adresse %s. Lesen von Adresse %s.";
inline constexpr const char* kAccessViolationWrite =
    "Zugriffsverletzung bei Adresse %s. Schreiben von Adresse %s.";
inline constexpr const char* kAccessViolationExecute =
    "Zugriffsverletzung bei Adresse %s. Ausführung von Adresse %s.";
inline constexpr const char* kDivByZero = "Division durch Null";
inline constexpr const char* kIntOverflow = "Integer-Überlauf";
inline constexpr const char* kZeroDivide = "Gleitkommadivision durch Null";
inline constexpr const char* kOverflow = "Gleitkommaüberlauf";
inline constexpr const char* kUnderflow = "Gleitkommaunterlauf";
inline constexpr const char* kInvalidOp = "Ungültige Gleitkommaoperation";
inline constexpr const char* kStackOverflow = "Stapelüberlauf";
inline constexpr const char* kPrivilege = "Privilegierte Anweisung";
inline constexpr const char* kInvalidOpCode = "Ungültige Anweisung";
inline constexpr const char* kControlC = "Strg+C gedrückt";
inline constexpr const char* kRangeError = "Fehler bei Bereichsprüfung";
// The fault code as 8 hexadecimal digits.
inline constexpr const char* kExternalException = "Externe Exception %s";

// File access. File name, the platform's text for the error.
inline constexpr const char* kCannotOpenFile = "Datei %s kann nicht geöffnet werden. %s";
// In place of the platform's text: a settings file beyond the reader's size limit.
inline constexpr const char* kFileTooLarge = "Die Datei ist größer als 1 MiB";
inline constexpr const char* kPathTooLong = "Der angegebene Pfad ist zu lang";
inline constexpr const char* kPathFormatNotSupported = "Das Pfadformat wird nicht unterstützt";
inline constexpr const char* kInvalidPathCharacters = "Ungültige Zeichen im Pfad";
inline constexpr const char* kPathNotFound = "Der angegebene Pfad wurde nicht gefunden";

}  // namespace RTL::Strings
