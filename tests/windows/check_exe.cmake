# Checks the built Update.exe the way it ships, without running it: the machine it is for,
# a console program, only system DLLs imported, the manifest that keeps it out of UAC, the
# version resource of this project version and the crash reporter's settings resource.
#
#   cmake -DEXE=<Update.exe> -DOBJDUMP=<objdump> -DEXPECTED_VERSION=<a.b.c.d> -DARCH=<x86|x64>
#         -P check_exe.cmake
#
# Every failed check is reported, then the script fails.
cmake_minimum_required(VERSION 3.25)

foreach(argument EXE OBJDUMP EXPECTED_VERSION ARCH)
  if(NOT DEFINED ${argument} OR "${${argument}}" STREQUAL "")
    message(FATAL_ERROR "check_exe.cmake needs -D${argument}=...")
  endif()
endforeach()
if(NOT EXISTS "${EXE}")
  message(FATAL_ERROR "${EXE} does not exist: build the Update target first")
endif()

set(failures "")
macro(fail text)
  list(APPEND failures "${text}")
endmacro()
macro(report_failures)
  if(failures)
    list(JOIN failures "\n  " report)
    message(FATAL_ERROR "${EXE} fails its checks:\n  ${report}")
  endif()
endmacro()

execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE headers
                ERROR_VARIABLE objdump_errors RESULT_VARIABLE objdump_result)
if(NOT objdump_result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p failed (${objdump_result}): ${objdump_errors}")
endif()

# The machine: the product is 32-bit, the test build 64-bit.
if(ARCH STREQUAL "x86")
  set(expected_format "pei-i386")
  set(expected_magic "010b")
elseif(ARCH STREQUAL "x64")
  set(expected_format "pei-x86-64")
  set(expected_magic "020b")
else()
  message(FATAL_ERROR "ARCH must be x86 or x64, not ${ARCH}")
endif()
if(NOT headers MATCHES "file format ${expected_format}")
  string(REGEX MATCH "file format [^\n]*" found "${headers}")
  fail("not a ${ARCH} image: ${found}")
endif()
if(NOT headers MATCHES "\nMagic[ \t]+${expected_magic}[ \t]")
  string(REGEX MATCH "Magic[^\n]*" found "${headers}")
  fail("optional header magic is not ${expected_magic}: ${found}")
endif()

# A console program: started from a console it writes there and its caller waits for it.
if(NOT headers MATCHES "\nSubsystem[ \t]+0*3[ \t]")
  string(REGEX MATCH "\nSubsystem[ \t][^\n]*" found "${headers}")
  string(STRIP "${found}" found)
  fail("subsystem is not 3 (Windows CUI): ${found}")
endif()

# Only DLLs every Windows has: the runtimes are linked in statically, so the single file
# runs on a machine without a compiler's DLLs.
set(system_dlls kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 msvcrt ws2_32 winhttp
                setupapi psapi version ntdll dbghelp shlwapi comctl32 crypt32 secur32 wtsapi32)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" dll_lines "${headers}")
if(NOT dll_lines)
  fail("no imported DLL found in the objdump output")
endif()
foreach(line IN LISTS dll_lines)
  string(REGEX REPLACE "^DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" name)
  string(REGEX REPLACE "\\.dll$" "" name "${name}")
  if(NOT name IN_LIST system_dlls AND NOT name MATCHES "^api-ms-win-")
    fail("imports ${dll}, which is no system DLL")
  endif()
endforeach()

# Resources: type 16 (version) and type 24 (manifest) in the resource directory.
foreach(type 000010 000018)
  if(NOT headers MATCHES "\n[0-9a-f]+   Entry: ID: 0x${type},")
    fail("no resource of type 0x${type} in the resource directory")
  endif()
endforeach()

# The bytes of the resource section, as lower-case hex.
execute_process(COMMAND "${OBJDUMP}" -h "${EXE}" OUTPUT_VARIABLE sections
                RESULT_VARIABLE objdump_result)
string(REGEX MATCH "\\.rsrc[ \t]+([0-9a-f]+)[ \t]+[0-9a-f]+[ \t]+[0-9a-f]+[ \t]+([0-9a-f]+)"
       rsrc_line "${sections}")
if(NOT objdump_result EQUAL 0 OR NOT rsrc_line)
  # Every check below would fail for the same reason.
  fail("no .rsrc section")
  report_failures()
endif()
math(EXPR rsrc_size "0x${CMAKE_MATCH_1}")
math(EXPR rsrc_offset "0x${CMAKE_MATCH_2}")
file(READ "${EXE}" resources OFFSET ${rsrc_offset} LIMIT ${rsrc_size} HEX)

# Hex of a text as the resource compiler stores it: UTF-8 bytes in the manifest, UTF-16LE in
# the version resource (the texts checked are ASCII).
function(ascii_hex text out)
  string(HEX "${text}" hex)
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()
function(utf16_hex text out)
  string(HEX "${text}" hex)
  string(REGEX REPLACE "(..)" "\\100" hex "${hex}")
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()

# The crash reporter's settings: an RCDATA resource (type 10) named TEXVORA. Resource names
# are stored in UTF-16, preceded by their length.
if(NOT headers MATCHES "\n[0-9a-f]+   Entry: ID: 0x00000a,")
  fail("no RCDATA resource (type 0x0a) in the resource directory")
endif()
utf16_hex("TEXVORA" texvora)
if(NOT resources MATCHES "0700${texvora}")
  fail("no resource named TEXVORA")
endif()

# The manifest: run with the caller's rights, and no UTF-8 code page, because redirected
# output is written in the ANSI code page.
ascii_hex("level=\"asInvoker\"" as_invoker)
ascii_hex("uiAccess=\"false\"" no_ui_access)
ascii_hex("<activeCodePage" active_code_page)
if(NOT resources MATCHES "${as_invoker}")
  fail("the manifest does not request level=\"asInvoker\"")
endif()
if(NOT resources MATCHES "${no_ui_access}")
  fail("the manifest does not say uiAccess=\"false\"")
endif()
if(resources MATCHES "${active_code_page}")
  fail("the manifest sets an activeCodePage")
endif()

# The version wanted, as four numbers.
string(REPLACE "." ";" wanted "${EXPECTED_VERSION}")
list(LENGTH wanted count)
while(count LESS 4)
  list(APPEND wanted 0)
  math(EXPR count "${count} + 1")
endwhile()
list(JOIN wanted "." wanted_text)

# VS_FIXEDFILEINFO starts with the signature 0xFEEF04BD; file and product version follow the
# structure version, each as two little-endian DWORDs (major.minor, patch.tweak).
function(read_dword hex position out)
  string(SUBSTRING "${hex}" ${position} 8 bytes)
  string(REGEX REPLACE "(..)(..)(..)(..)" "\\4\\3\\2\\1" bytes "${bytes}")
  math(EXPR value "0x${bytes}")
  set(${out} ${value} PARENT_SCOPE)
endfunction()
function(read_version hex position out)
  read_dword("${hex}" ${position} high)
  math(EXPR low_position "${position} + 8")
  read_dword("${hex}" ${low_position} low)
  math(EXPR a "${high} >> 16")
  math(EXPR b "${high} & 0xFFFF")
  math(EXPR c "${low} >> 16")
  math(EXPR d "${low} & 0xFFFF")
  set(${out} "${a}.${b}.${c}.${d}" PARENT_SCOPE)
endfunction()
string(FIND "${resources}" "bd04effe" signature)
math(EXPR misaligned "${signature} % 2")
if(signature LESS 0 OR misaligned)
  fail("no fixed version information (VS_FIXEDFILEINFO)")
else()
  math(EXPR file_version_at "${signature} + 16")
  math(EXPR product_version_at "${signature} + 32")
  read_version("${resources}" ${file_version_at} file_version)
  read_version("${resources}" ${product_version_at} product_version)
  if(NOT file_version STREQUAL wanted_text)
    fail("file version ${file_version}, expected ${wanted_text}")
  endif()
  if(NOT product_version STREQUAL wanted_text)
    fail("product version ${product_version}, expected ${wanted_text}")
  endif()
endif()

# The texts Explorer shows: a key, its NUL, padding to 32 bits, the value and its NUL.
function(check_version_text key value)
  utf16_hex("${key}" key_hex)
  utf16_hex("${value}" value_hex)
  if(NOT resources MATCHES "${key_hex}0000(0000)?${value_hex}0000")
    list(APPEND failures "version text ${key} is not \"${value}\"")
    set(failures "${failures}" PARENT_SCOPE)
  endif()
endfunction()
check_version_text(CompanyName "NEB")
check_version_text(FileDescription "Update")
check_version_text(FileVersion "${EXPECTED_VERSION}")
check_version_text(InternalName "Update")
check_version_text(OriginalFilename "Update.exe")
check_version_text(ProductName "Update")
check_version_text(ProductVersion "${EXPECTED_VERSION}")

# German texts in Unicode: the string table's name and the translation 0x0407, 1200 (0x04B0).
utf16_hex("040704B0" string_table)
utf16_hex("Translation" translation)
if(NOT resources MATCHES "${string_table}0000")
  fail("no German Unicode string table (040704B0)")
endif()
if(NOT resources MATCHES "${translation}0000(0000)?0704b004")
  fail("translation is not 0x407, 1200")
endif()

report_failures()
message(STATUS "${EXE}: ${ARCH}, console, system DLLs only, asInvoker, version ${wanted_text}")
