// The host's packer-plugin interface (ANSI and Unicode variants): records,
// constants and the calling convention of the exports.
#pragma once
#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define WCX_API __stdcall
#else
#define WCX_API
#endif

namespace wcx {

struct tOpenArchiveData {
  char* ArcName;
  int OpenMode;
  int OpenResult;
  char* CmtBuf;
  int CmtBufSize;
  int CmtSize;
  int CmtState;
};

struct tHeaderData {
  char ArcName[260];
  char FileName[260];
  int Flags;
  int PackSize;
  int UnpSize;
  int HostOS;
  int FileCRC;
  int FileTime;  // DOS date-time on Windows, Unix seconds on Linux (host_convention.h)
  int UnpVer;
  int Method;
  int FileAttr;
  char* CmtBuf;
  int CmtBufSize;
  int CmtSize;
  int CmtState;
};

// One UTF-16 code unit on every platform (wchar_t is 32 bits on Linux).
#if defined(_WIN32)
typedef wchar_t WCHAR;
#else
typedef char16_t WCHAR;
#endif
static_assert(sizeof(WCHAR) == 2, "UTF-16 code unit");

struct tOpenArchiveDataW {
  WCHAR* ArcName;
  int OpenMode;
  int OpenResult;
  WCHAR* CmtBuf;
  int CmtBufSize;
  int CmtSize;
  int CmtState;
};

// The fields the extended records share after their names; sizes are 64-bit
// as two halves.
#define WCX_HEADER_EX_FIELDS \
  int Flags;                 \
  unsigned int PackSize;     \
  unsigned int PackSizeHigh; \
  unsigned int UnpSize;      \
  unsigned int UnpSizeHigh;  \
  int HostOS;                \
  int FileCRC;               \
  int FileTime;              \
  int UnpVer;                \
  int Method;                \
  int FileAttr;              \
  char* CmtBuf;              \
  int CmtBufSize;            \
  int CmtSize;               \
  int CmtState;              \
  char Reserved[1024];

struct tHeaderDataEx {
  char ArcName[1024];
  char FileName[1024];
  WCX_HEADER_EX_FIELDS
};

struct tHeaderDataExW {
  WCHAR ArcName[1024];
  WCHAR FileName[1024];
  WCX_HEADER_EX_FIELDS
};

#undef WCX_HEADER_EX_FIELDS

#if UINTPTR_MAX > 0xFFFFFFFFu
static_assert(sizeof(tOpenArchiveData) == 40, "host record layout");
static_assert(sizeof(tHeaderData) == 584, "host record layout");
static_assert(offsetof(tHeaderData, CmtBuf) == 560, "host record layout");
static_assert(sizeof(tOpenArchiveDataW) == 40, "host record layout");
static_assert(sizeof(tHeaderDataEx) == 3144, "host record layout");
static_assert(offsetof(tHeaderDataEx, CmtBuf) == 2096, "host record layout");
static_assert(sizeof(tHeaderDataExW) == 5192, "host record layout");
static_assert(offsetof(tHeaderDataExW, CmtBuf) == 4144, "host record layout");
#else
static_assert(sizeof(tOpenArchiveData) == 28, "host record layout");
static_assert(sizeof(tHeaderData) == 572, "host record layout");
static_assert(offsetof(tHeaderData, CmtBuf) == 556, "host record layout");
static_assert(sizeof(tOpenArchiveDataW) == 28, "host record layout");
static_assert(sizeof(tHeaderDataEx) == 3132, "host record layout");
static_assert(offsetof(tHeaderDataEx, CmtBuf) == 2092, "host record layout");
static_assert(sizeof(tHeaderDataExW) == 5180, "host record layout");
static_assert(offsetof(tHeaderDataExW, CmtBuf) == 4140, "host record layout");
#endif

enum Operation { PK_SKIP = 0, PK_TEST = 1, PK_EXTRACT = 2 };
enum OpenMode { PK_OM_LIST = 0, PK_OM_EXTRACT = 1 };

enum ErrorCode {
  E_END_ARCHIVE = 10,
  E_NO_MEMORY = 11,
  E_BAD_DATA = 12,
  E_BAD_ARCHIVE = 13,
  E_UNKNOWN_FORMAT = 14,
  E_EOPEN = 15,
  E_ECREATE = 16,
  E_ECLOSE = 17,
  E_EREAD = 18,
  E_EWRITE = 19,
  E_SMALL_BUF = 20,
  E_EABORTED = 21,
  E_NO_FILES = 22,
  E_TOO_MANY_FILES = 23,
  E_NOT_SUPPORTED = 24,
};

enum Caps {
  PK_CAPS_NEW = 1,
  PK_CAPS_MODIFY = 2,
  PK_CAPS_MULTIPLE = 4,
  PK_CAPS_DELETE = 8,
  PK_CAPS_OPTIONS = 16,
  PK_CAPS_MEMPACK = 32,
  PK_CAPS_BY_CONTENT = 64,
  PK_CAPS_SEARCHTEXT = 128,
  PK_CAPS_HIDE = 256,
  PK_CAPS_ENCRYPT = 512,
};

// GetBackgroundFlags
enum : int { BACKGROUND_UNPACK = 1, BACKGROUND_PACK = 2, BACKGROUND_MEMPACK = 4 };

typedef void* HANDLE;
typedef int(WCX_API* tChangeVolProc)(char* ArcName, int Mode);
typedef int(WCX_API* tProcessDataProc)(char* FileName, int Size);
typedef int(WCX_API* tChangeVolProcW)(WCHAR* ArcName, int Mode);
typedef int(WCX_API* tProcessDataProcW)(WCHAR* FileName, int Size);

// The export signatures, for hosts that load the module by name.
typedef HANDLE(WCX_API* OpenArchiveFn)(tOpenArchiveData*);
typedef int(WCX_API* ReadHeaderFn)(HANDLE, tHeaderData*);
typedef int(WCX_API* ProcessFileFn)(HANDLE, int, char*, char*);
typedef int(WCX_API* CloseArchiveFn)(HANDLE);
typedef void(WCX_API* SetChangeVolProcFn)(HANDLE, tChangeVolProc);
typedef void(WCX_API* SetProcessDataProcFn)(HANDLE, tProcessDataProc);
typedef int(WCX_API* PackFilesFn)(char*, char*, char*, char*, int);
typedef int(WCX_API* GetPackerCapsFn)();
typedef int(WCX_API* CanYouHandleThisFileFn)(char*);
typedef void(WCX_API* ConfigurePackerFn)(void*, void*);
typedef HANDLE(WCX_API* OpenArchiveWFn)(tOpenArchiveDataW*);
typedef int(WCX_API* ReadHeaderExFn)(HANDLE, tHeaderDataEx*);
typedef int(WCX_API* ReadHeaderExWFn)(HANDLE, tHeaderDataExW*);
typedef int(WCX_API* ProcessFileWFn)(HANDLE, int, WCHAR*, WCHAR*);
typedef void(WCX_API* SetChangeVolProcWFn)(HANDLE, tChangeVolProcW);
typedef void(WCX_API* SetProcessDataProcWFn)(HANDLE, tProcessDataProcW);
typedef int(WCX_API* CanYouHandleThisFileWFn)(WCHAR*);
typedef int(WCX_API* GetBackgroundFlagsFn)();

}  // namespace wcx
