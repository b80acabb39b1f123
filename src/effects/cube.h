// CUBE .. CUBE9: a small textured cube that flies in, tumbles with a sphere-mapped reflection
// added on top, and fades out while receding at the end of the first half.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include "host/demogl.h"

class CCubeEffect : public CEffect {
public:
    CCubeEffect();
    ~CCubeEffect() override;
    int Init(int width, int height) override;
    void Prepare() override;
    void RenderFrame(LONG time) override;
    void End() override;
    void Draw();
    // One GL_QUADS pair per face, with the face normal and corner texture coordinates.
    void EmitFaces();

    PFNGLACTIVETEXTUREARBPROC activeTextureProc;
    PFNGLMULTITEXCOORD2FARBPROC multiTexCoordProc;
    int width;
    int height;
    int angleX;
    int angleY;
    int angleZ;
    int faces[6][4];
    float vertices[8][3];
    float normals[6][3];
    unsigned int baseTexture;
    unsigned int envTexture;
    int startTime;
    bool extensionAvailable;
    float fade;
    bool earlyStart;
};
