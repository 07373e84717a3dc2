/* The directory service: where the storage libraries keep scratch files, find forms and templates,
 * load the character-check plug-in and read its tables.
 *
 * Every function fills NUL-terminated directory paths into the caller's buffers. A non-empty answer
 * ends in '/'; an empty one stands for the current directory. Each answer comes from the
 * environment variable named below, else from the INI file named by SITEPATHS_CONFIG (section
 * [sitepaths], key named below), else from a default; an empty setting counts as no setting.
 * Nothing is cached: every call looks again. An answer that does not fit its buffer leaves the
 * buffer empty; nothing is ever written past a buffer. */
#ifndef QSTORE_SITEPATHS_SITEPATHS_H_
#define QSTORE_SITEPATHS_SITEPATHS_H_

#if defined(_WIN32)
#if defined(_M_IX86) || defined(__i386__)
#define SITEPATHS_CALL __stdcall
#else
#define SITEPATHS_CALL
#endif
#if defined(SITEPATHS_BUILDING_LIBRARY)
#define SITEPATHS_API __declspec(dllexport)
#else
#define SITEPATHS_API __declspec(dllimport)
#endif
#else
#define SITEPATHS_CALL
#define SITEPATHS_API __attribute__((visibility("default")))
#endif

/* Buffer sizes the callers pass. */
#define SITEPATHS_DIR_SIZE 256
#define SITEPATHS_SHORT_SIZE 64

/* Results. */
#define SITEPATHS_OK 0
#define SITEPATHS_TOO_LONG 1  /* an answer did not fit its buffer, which was left empty */
#define SITEPATHS_NO_BUFFER 2 /* a buffer that must be filled was a null pointer */
#define SITEPATHS_NOT_READY 3 /* the work directory could not be made, or is not safe to use */
#define SITEPATHS_NO_MEMORY 4

#ifdef __cplusplus
extern "C" {
#endif

/* The work directory for scratch files. SITEPATHS_WORK_DIR / WorkDir; default $TMPDIR (else /tmp)
 * + "/qstore-<uid>/". Made (mode 0700, with parents) when missing. A default directory that is not
 * a real directory of the current user (say, a link planted in a shared /tmp) is refused: the
 * buffer is left empty and SITEPATHS_NOT_READY returned. */
SITEPATHS_API int SITEPATHS_CALL SitePathsWorkDir(char* dir256);

/* The two directories forms are looked up in: base256 holds QFD/ and QFT/ (SITEPATHS_BASE_DIR /
 * BaseDir), flat256 holds form files directly (SITEPATHS_FLAT_DIR / FlatDir); both default to
 * empty. a64 and d64 receive "" and may be null. Returns SITEPATHS_OK only when both answers fit.
 */
SITEPATHS_API int SITEPATHS_CALL SitePathsFormDirs(char* a64, char* base256, char* flat256,
                                                   char* d64);

/* The directory of the character-check plug-in. SITEPATHS_PLUGIN_DIR / PluginDir; default the
 * directory that holds this library. */
SITEPATHS_API int SITEPATHS_CALL SitePathsPluginDir(char* dir256);

/* The shared settings directory of the character check. SITEPATHS_SHARED_DIR / SharedDir; default
 * empty. */
SITEPATHS_API int SITEPATHS_CALL SitePathsSharedDir(char* dir256);

/* The per-user settings directory. SITEPATHS_USER_DIR / UserDir; default $HOME/.config/qstore/
 * (empty when the home directory is unknown). */
SITEPATHS_API int SITEPATHS_CALL SitePathsUserDir(char* dir256);

#ifdef __cplusplus
}
#endif

#endif /* QSTORE_SITEPATHS_SITEPATHS_H_ */
