/* The USB keyboard library as the Tessaral Programmable Keyboard Manager
 * loads it: a shared library (libhidpad.so, or the file $HIDPAD_LIBRARY
 * names) with these six entry points of C linkage. The program loads it
 * with dlopen, resolves all six by name and refuses a library that lacks
 * any of them; it never links against it. driver-interface.md, installed
 * beside this file, describes the calls in full.
 *
 * Calls come from one thread, one at a time, in this order: OpenHidPad once;
 * when it returned 0, ReadConfig, then any number of ReadData and WriteData;
 * CloseHidPad once at the end. When OpenHidPad fails, CloseHidPad is still
 * called once before the library is unloaded. No call has a time limit: the
 * program waits for each to return.
 *
 * Buffers belong to the caller. A library reads or writes exactly `length`
 * bytes of the buffer it is given, during the call, and keeps no pointer to
 * it afterwards. */
#ifndef PTU_HIDPAD_H
#define PTU_HIDPAD_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define HIDPAD_API __attribute__((visibility("default")))
#else
#define HIDPAD_API
#endif

/* Every entry returns 0 on success; any other value is a failure in the
 * library's own numbering. The status of a failed ReadData or WriteData is
 * passed on (a batch run exits with it, with 255 when it lies outside
 * 1..255); CloseHidPad's is not looked at. */
#define HIDPAD_OK 0

/* The lengths the program passes: the whole memory of a USB keyboard and
 * the configuration block. */
#define HIDPAD_MEMORY_SIZE 8192
#define HIDPAD_CONFIG_SIZE 8

/* Finds and opens the keyboard. */
HIDPAD_API int OpenHidPad(void);

/* Fills buffer[0 .. length-1] with the keyboard's memory in its USB form
 * (length is HIDPAD_MEMORY_SIZE). The program takes the registers from
 * the image afterwards even when the status is not 0. */
HIDPAD_API int ReadData(unsigned char* buffer, int length);

/* Writes buffer[0 .. length-1] over the keyboard's memory (length is
 * HIDPAD_MEMORY_SIZE). The buffer must be left as it was. */
HIDPAD_API int WriteData(unsigned char* buffer, int length);

/* Must exist; the program never calls it. Its arguments are not fixed: the
 * emulated library takes a command of 1..64 bytes. */
HIDPAD_API int WriteCMD(unsigned char* buffer, int length);

/* Fills buffer[0 .. 7] with the configuration block (length is
 * HIDPAD_CONFIG_SIZE): byte 1 the second identification byte r2e, byte 2
 * the model byte r2a (0x60 plus the type code 0..13), byte 3 ldt, byte 4
 * r27, byte 5 r29, byte 6 r28; bytes 0 and 7 are not used. */
HIDPAD_API int ReadConfig(unsigned char* buffer, int length);

/* Closes the keyboard. */
HIDPAD_API int CloseHidPad(void);

#ifdef __cplusplus
}
#endif

#endif /* PTU_HIDPAD_H */
