/* The character-check plug-in: judges user-defined and special characters and tells what replaces
 * them, from a replacement table ("pbrepl.csv").
 *
 * The document library loads it for the duration of one check and calls, in this order: PsInit with
 * the table's path, PsGroupLoad with the path of "prohibit.ini", PsCheckSubst for any number of
 * characters, PsFini. */
#ifndef QSTORE_CHARGATE_CHARGATE_H_
#define QSTORE_CHARGATE_CHARGATE_H_

#if defined(_WIN32)
#if defined(_M_IX86) || defined(__i386__)
#define CHARGATE_CALL __stdcall
#else
#define CHARGATE_CALL
#endif
#define CHARGATE_API __declspec(dllexport)
#else
#define CHARGATE_CALL
#define CHARGATE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* An open table; null stands for failure. */
typedef void* PsHandle;

/* Reads the replacement table at `table_path`. Null when the file cannot be read. */
CHARGATE_API PsHandle CHARGATE_CALL PsInit(const char* table_path);

/* 0 when the settings file at `ini_path` exists, non-zero otherwise. */
CHARGATE_API int CHARGATE_CALL PsGroupLoad(PsHandle handle, const char* ini_path);

/* `ch` is one character, NUL-terminated, of 1 or 2 Shift-JIS bytes. Returns 1 and sets *replacement
 * to a NUL-terminated text of at most 255 bytes when the character is a user-defined or special
 * one: the table's replacement, or the character itself for a user-defined character (0xF040 to
 * 0xF9FC) that the table lacks. Returns 0 for any other character. The text stays valid until
 * the next call with the same handle. */
CHARGATE_API int CHARGATE_CALL PsCheckSubst(PsHandle handle, const char* ch, char** replacement);

/* Releases the table. */
CHARGATE_API int CHARGATE_CALL PsFini(PsHandle handle);

typedef PsHandle(CHARGATE_CALL* PsInitFn)(const char*);
typedef int(CHARGATE_CALL* PsGroupLoadFn)(PsHandle, const char*);
typedef int(CHARGATE_CALL* PsCheckSubstFn)(PsHandle, const char*, char**);
typedef int(CHARGATE_CALL* PsFiniFn)(PsHandle);

#ifdef __cplusplus
}
#endif

#endif /* QSTORE_CHARGATE_CHARGATE_H_ */
