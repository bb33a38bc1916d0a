/* Entry points of the interface library (lptbrtv.so, and usbbrtv.so with the same names).
 *
 * The main program loads the library by file name and binds these names; its
 * function-pointer types are exactly these declarations (decltype(&_TestLoad) and so on).
 * Booleans come back as a byte: only the low byte is tested. _GetBufferSize is a 16-bit
 * value and must be read as one before it is widened.
 * The caller owns every buffer; the library uses it only during the call.
 */
#ifndef LPTBRTV_H
#define LPTBRTV_H

#if defined(LPTBRTV_BUILD)
#define LPTBRTV_API __attribute__((visibility("default")))
#else
#define LPTBRTV_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

LPTBRTV_API unsigned char _TestLoad(int base);
LPTBRTV_API int _CloseDevice(void);
LPTBRTV_API void _GetHardwareRevision(char *buf4);
LPTBRTV_API short _GetBufferSize(void);
LPTBRTV_API int _DMXWrite(int count, unsigned char *levels);
LPTBRTV_API int _DMXRead(int count, unsigned char *buf);
LPTBRTV_API unsigned char _SendRequest(unsigned char cmd, short p1, short p2);
LPTBRTV_API unsigned char _WriteBuf(int count, unsigned char *bytes);
LPTBRTV_API unsigned char _ReadBuf(int count, unsigned char *buf);

#ifdef __cplusplus
}
#endif

#endif
