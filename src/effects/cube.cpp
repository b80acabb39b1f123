// CUBE .. CUBE9: a small cube flies in from the distance, tumbles about all three axes round a
// point in front of the viewer, shines with an added chrome reflection, and from 91 s fades to
// black while it recedes.
#include "effects/cube.h"

#include "effects/multitexture.h"
#include "effects/overlay.h"

namespace {

// A cube whose first frame comes before this moment of the piece keeps a neutral colour.
constexpr LONG kEarlyStartBefore = 33000;
constexpr float kFadeInMs = 4000.0f;
constexpr LONG kFlyInMs = 3000;
constexpr LONG kFadeOutStart = 91000;
constexpr float kFadeOutMs = 4000.0f;
constexpr float kRestingDepth = -2.0f;

// Edge 0.2, centred 0.8 in front of the rotation centre.
constexpr float kCubeVertices[8][3] = {
    {-0.1f, -0.1f, -0.7f}, {-0.1f, -0.1f, -0.9f}, {-0.1f, 0.1f, -0.9f}, {-0.1f, 0.1f, -0.7f},
    {0.1f, -0.1f, -0.7f},  {0.1f, -0.1f, -0.9f},  {0.1f, 0.1f, -0.9f},  {0.1f, 0.1f, -0.7f},
};
constexpr int kCubeFaces[6][4] = {
    {0, 1, 2, 3}, {3, 2, 6, 7}, {7, 6, 5, 4}, {4, 5, 1, 0}, {5, 6, 2, 1}, {7, 4, 0, 3},
};
constexpr float kCubeNormals[6][3] = {
    {-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}, {0, 0, -1}, {0, 0, 1},
};
constexpr float kCornerTexCoords[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

}  // namespace

CCubeEffect::CCubeEffect()
    : activeTextureProc(nullptr),
      multiTexCoordProc(nullptr),
      width(0),
      height(0),
      angleX(0),
      angleY(0),
      angleZ(0),
      faces(),
      vertices(),
      normals(),
      baseTexture(0),
      envTexture(0),
      startTime(-1),
      extensionAvailable(false),
      fade(0),
      earlyStart(false)
{
}

CCubeEffect::~CCubeEffect() = default;

int CCubeEffect::Init(int width, int height)
{
    this->width = width;
    this->height = height;
    startTime = -1;
    // Init runs again when the host restarts the cube after End deleted its textures: the fade-in
    // and the early colour are chosen afresh, as on the first start.
    fade = 0;
    earlyStart = false;
    for (int v = 0; v < 8; ++v)
        for (int axis = 0; axis < 3; ++axis) vertices[v][axis] = kCubeVertices[v][axis];
    for (int f = 0; f < 6; ++f) {
        for (int corner = 0; corner < 4; ++corner) faces[f][corner] = kCubeFaces[f][corner];
        for (int axis = 0; axis < 3; ++axis) normals[f][axis] = kCubeNormals[f][axis];
    }
    baseTexture = LoadPicture("demotex\\grepalm.tga", kPictureFormatRgb8);
    envTexture = LoadPicture("demotex\\envmap.tga");
    return 0;
}

// Once the host has shown it can add textures, the cube stays on the tinted path.
void CCubeEffect::Prepare()
{
    DEMOGL_TextureUpload(baseTexture);
    DEMOGL_TextureUpload(envTexture);
    if (ProbeMultitexture(activeTextureProc, multiTexCoordProc)) extensionAvailable = true;
}

void CCubeEffect::RenderFrame(LONG time)
{
    if (startTime < 0) {
        if (time < kEarlyStartBefore) earlyStart = true;
        startTime = time;
    }

    if (fade < 1.0f) fade = (time - startTime) / kFadeInMs;
    if (fade > 1.0f) fade = 1.0f;
    // Not clamped below: past 95 s the colour goes negative and shows as black.
    float recession = 0;
    if (time > kFadeOutStart) {
        fade = 1.0f - (time - kFadeOutStart) / kFadeOutMs;
        recession = -2.0f * (time - kFadeOutStart) / 3000.0f;
    }

    angleX = angleY = angleZ = (time - startTime) / 10 % 360;

    glPushAttrib(GL_ENABLE_BIT);
    EnableDepthTest();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    LONG sinceStart = time - startTime;
    float depth = kRestingDepth + recession;
    if (sinceStart < kFlyInMs) depth = (sinceStart - kFlyInMs) / 1000.0f + kRestingDepth + recession;
    glTranslatef(0, 0, depth);
    glRotatef(angleX, 1, 0, 0);
    glRotatef(angleY, 0, 1, 0);
    glRotatef(angleZ, 0, 0, 1);

    Draw();

    glPopMatrix();
    glPopAttrib();
}

void CCubeEffect::Draw()
{
    if (extensionAvailable) {
        glColor4f(fade, 0, fade / 2, 1);
        if (earlyStart) glColor4f(fade, fade, fade, 1);
    } else {
        glColor4f(fade, fade, fade, 1);
    }

    // The base pass blends only if blending was already on when the cube was drawn.
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glBindTexture(GL_TEXTURE_2D, extensionAvailable ? envTexture : baseTexture);
    EmitFaces();

    // The reflection: the same faces again, added, with sphere-mapped coordinates from the normals.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glBindTexture(GL_TEXTURE_2D, envTexture);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    EmitFaces();
}

void CCubeEffect::EmitFaces()
{
    for (int f = 0; f < 6; ++f) {
        glBegin(GL_QUADS);
        glNormal3fv(normals[f]);
        for (int corner = 0; corner < 4; ++corner) {
            glTexCoord2f(kCornerTexCoords[corner][0], kCornerTexCoords[corner][1]);
            glVertex3fv(vertices[faces[f][corner]]);
        }
        glEnd();
    }
}

void CCubeEffect::End()
{
    DEMOGL_TextureDelete(baseTexture);
    DEMOGL_TextureDelete(envTexture);
}
