// What WebGL, through emscripten's fixed-function emulation, lacks of the GL the effects and the
// host call: the attribute stack, GL_QUAD_STRIP, sphere-mapped texture coordinates, lines wider
// than a pixel, old texture formats and GL_CLAMP. The web build includes this header first in
// every C++ source, so the usual names reach the stand-ins below, and the stand-ins the real ones.
#pragma once

#ifdef __cplusplus

#include <GL/gl.h>

void web_glPushAttrib(GLbitfield mask);
void web_glPopAttrib();
void web_glEnable(GLenum capability);
void web_glDisable(GLenum capability);
GLboolean web_glIsEnabled(GLenum capability);
void web_glBlendFunc(GLenum source, GLenum destination);
void web_glDepthFunc(GLenum function);
void web_glDepthMask(GLboolean flag);
void web_glCullFace(GLenum face);
void web_glFrontFace(GLenum direction);
void web_glMatrixMode(GLenum mode);
void web_glTexGeni(GLenum coordinate, GLenum name, GLint parameter);
void web_glLineWidth(GLfloat width);
void web_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                      GLenum format, GLenum type, const void* pixels);
void web_glTexParameteri(GLenum target, GLenum name, GLint parameter);

void web_glBegin(GLenum mode);
void web_glEnd();
void web_glVertex3f(GLfloat x, GLfloat y, GLfloat z);
void web_glVertex3fv(const GLfloat* vertex);
void web_glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
void web_glNormal3fv(const GLfloat* normal);
void web_glTexCoord2f(GLfloat s, GLfloat t);

// The ARB multitexture entry points, which the emulation has no pointers for.
void web_glActiveTextureARB(GLenum unit);
void web_glMultiTexCoord2fARB(GLenum unit, GLfloat s, GLfloat t);

#ifndef TARNELVOIS_GL_SHIM_INSIDE
#define glPushAttrib web_glPushAttrib
#define glPopAttrib web_glPopAttrib
#define glEnable web_glEnable
#define glDisable web_glDisable
#define glIsEnabled web_glIsEnabled
#define glBlendFunc web_glBlendFunc
#define glDepthFunc web_glDepthFunc
#define glDepthMask web_glDepthMask
#define glCullFace web_glCullFace
#define glFrontFace web_glFrontFace
#define glMatrixMode web_glMatrixMode
#define glTexGeni web_glTexGeni
#define glLineWidth web_glLineWidth
#define glTexImage2D web_glTexImage2D
#define glTexParameteri web_glTexParameteri
#define glBegin web_glBegin
#define glEnd web_glEnd
#define glVertex3f web_glVertex3f
#define glVertex3fv web_glVertex3fv
#define glColor4f web_glColor4f
#define glNormal3fv web_glNormal3fv
#define glTexCoord2f web_glTexCoord2f
#endif

#endif
