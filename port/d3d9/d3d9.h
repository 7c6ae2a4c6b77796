// Direct3D 9 of the port: "d3d9.dll" with Direct3DCreate9 and Direct3DCreate9Ex, a HAL
// adapter and its devices, drawn on OpenGL through the port's GL context. The device covers
// what 2-D drawing needs: pre-transformed vertices, the texture-stage pipeline, alpha test and
// blending, textures and surfaces in the 16- and 32-bit colour formats, DXT textures, YUV
// surfaces, depth surfaces, render-target textures and the swap chain. Without OpenGL (SDL's
// dummy video driver) both create calls give nothing, as on a machine without a device.
//
// Our own declarations: the names, values and record layouts are those the runtime expects of
// Direct3D 9; interfaces hold the methods the runtime calls.
#pragma once

#include "port/kernel/win32_types.h"

typedef DWORD D3DCOLOR;
#define D3DCOLOR_ARGB(a, r, g, b)                                                         \
  (static_cast<D3DCOLOR>((((a)&0xFFu) << 24) | (((r)&0xFFu) << 16) | (((g)&0xFFu) << 8) | \
                         ((b)&0xFFu)))
#define D3DCOLOR_XRGB(r, g, b) D3DCOLOR_ARGB(0xFFu, r, g, b)

#define D3D_SDK_VERSION 32u
#define D3DADAPTER_DEFAULT 0u

// --- results ------------------------------------------------------------------------------
#define D3D_OK S_OK
#define D3DERR_OUTOFVIDEOMEMORY static_cast<HRESULT>(0x8876017Cu)
#define D3DERR_WASSTILLDRAWING static_cast<HRESULT>(0x8876021Cu)
#define D3DERR_WRONGTEXTUREFORMAT static_cast<HRESULT>(0x88760818u)
#define D3DERR_UNSUPPORTEDCOLOROPERATION static_cast<HRESULT>(0x88760819u)
#define D3DERR_NOTFOUND static_cast<HRESULT>(0x88760866u)
#define D3DERR_DEVICELOST static_cast<HRESULT>(0x88760868u)
#define D3DERR_DEVICENOTRESET static_cast<HRESULT>(0x88760869u)
#define D3DERR_NOTAVAILABLE static_cast<HRESULT>(0x8876086Au)
#define D3DERR_INVALIDDEVICE static_cast<HRESULT>(0x8876086Bu)
#define D3DERR_INVALIDCALL static_cast<HRESULT>(0x8876086Cu)
#define D3DERR_DRIVERINVALIDCALL static_cast<HRESULT>(0x8876086Du)

// --- formats --------------------------------------------------------------------------------
#define PORT_FOURCC(a, b, c, d)                                                                 \
  (static_cast<DWORD>(static_cast<BYTE>(a)) | (static_cast<DWORD>(static_cast<BYTE>(b)) << 8) | \
   (static_cast<DWORD>(static_cast<BYTE>(c)) << 16) |                                           \
   (static_cast<DWORD>(static_cast<BYTE>(d)) << 24))

enum D3DFORMAT : DWORD {
  D3DFMT_UNKNOWN = 0,
  D3DFMT_R8G8B8 = 20,
  D3DFMT_A8R8G8B8 = 21,
  D3DFMT_X8R8G8B8 = 22,
  D3DFMT_R5G6B5 = 23,
  D3DFMT_X1R5G5B5 = 24,
  D3DFMT_A1R5G5B5 = 25,
  D3DFMT_A4R4G4B4 = 26,
  D3DFMT_R3G3B2 = 27,
  D3DFMT_A8 = 28,
  D3DFMT_A8R3G3B2 = 29,
  D3DFMT_X4R4G4B4 = 30,
  D3DFMT_A2B10G10R10 = 31,
  D3DFMT_A8B8G8R8 = 32,
  D3DFMT_X8B8G8R8 = 33,
  D3DFMT_A2R10G10B10 = 35,
  D3DFMT_D16_LOCKABLE = 70,
  D3DFMT_D32 = 71,
  D3DFMT_D24S8 = 75,
  D3DFMT_D24X8 = 77,
  D3DFMT_D16 = 80,
  D3DFMT_VERTEXDATA = 100,
  D3DFMT_INDEX16 = 101,
  D3DFMT_INDEX32 = 102,
  D3DFMT_DXT1 = PORT_FOURCC('D', 'X', 'T', '1'),
  D3DFMT_DXT2 = PORT_FOURCC('D', 'X', 'T', '2'),
  D3DFMT_DXT3 = PORT_FOURCC('D', 'X', 'T', '3'),
  D3DFMT_DXT4 = PORT_FOURCC('D', 'X', 'T', '4'),
  D3DFMT_DXT5 = PORT_FOURCC('D', 'X', 'T', '5'),
  D3DFMT_YUY2 = PORT_FOURCC('Y', 'U', 'Y', '2'),
  D3DFMT_UYVY = PORT_FOURCC('U', 'Y', 'V', 'Y'),
  D3DFMT_YV12 = PORT_FOURCC('Y', 'V', '1', '2'),
};

enum D3DPOOL : DWORD {
  D3DPOOL_DEFAULT = 0,
  D3DPOOL_MANAGED = 1,
  D3DPOOL_SYSTEMMEM = 2,
  D3DPOOL_SCRATCH = 3
};

#define D3DUSAGE_RENDERTARGET 0x00000001u
#define D3DUSAGE_DEPTHSTENCIL 0x00000002u
#define D3DUSAGE_WRITEONLY 0x00000008u
#define D3DUSAGE_SOFTWAREPROCESSING 0x00000010u
#define D3DUSAGE_DONOTCLIP 0x00000020u
#define D3DUSAGE_DYNAMIC 0x00000200u
#define D3DUSAGE_AUTOGENMIPMAP 0x00000400u

enum D3DRESOURCETYPE : DWORD {
  D3DRTYPE_SURFACE = 1,
  D3DRTYPE_VOLUME = 2,
  D3DRTYPE_TEXTURE = 3,
  D3DRTYPE_VOLUMETEXTURE = 4,
  D3DRTYPE_CUBETEXTURE = 5,
  D3DRTYPE_VERTEXBUFFER = 6,
  D3DRTYPE_INDEXBUFFER = 7,
};

enum D3DDEVTYPE : DWORD {
  D3DDEVTYPE_HAL = 1,
  D3DDEVTYPE_REF = 2,
  D3DDEVTYPE_SW = 3,
  D3DDEVTYPE_NULLREF = 4
};

enum D3DMULTISAMPLE_TYPE : DWORD { D3DMULTISAMPLE_NONE = 0, D3DMULTISAMPLE_NONMASKABLE = 1 };

enum D3DSWAPEFFECT : DWORD {
  D3DSWAPEFFECT_DISCARD = 1,
  D3DSWAPEFFECT_FLIP = 2,
  D3DSWAPEFFECT_COPY = 3
};

enum D3DBACKBUFFER_TYPE : DWORD { D3DBACKBUFFER_TYPE_MONO = 0 };

enum D3DSCANLINEORDERING : DWORD {
  D3DSCANLINEORDERING_PROGRESSIVE = 1,
  D3DSCANLINEORDERING_INTERLACED = 2
};

#define D3DCREATE_FPU_PRESERVE 0x00000002u
#define D3DCREATE_MULTITHREADED 0x00000004u
#define D3DCREATE_PUREDEVICE 0x00000010u
#define D3DCREATE_SOFTWARE_VERTEXPROCESSING 0x00000020u
#define D3DCREATE_HARDWARE_VERTEXPROCESSING 0x00000040u
#define D3DCREATE_MIXED_VERTEXPROCESSING 0x00000080u

#define D3DPRESENTFLAG_LOCKABLE_BACKBUFFER 0x00000001u
#define D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL 0x00000002u

#define D3DPRESENT_INTERVAL_DEFAULT 0x00000000u
#define D3DPRESENT_INTERVAL_ONE 0x00000001u
#define D3DPRESENT_INTERVAL_TWO 0x00000002u
#define D3DPRESENT_INTERVAL_IMMEDIATE 0x80000000u

#define D3DCLEAR_TARGET 0x00000001u
#define D3DCLEAR_ZBUFFER 0x00000002u
#define D3DCLEAR_STENCIL 0x00000004u

#define D3DLOCK_READONLY 0x00000010u
#define D3DLOCK_NOSYSLOCK 0x00000800u
#define D3DLOCK_NOOVERWRITE 0x00001000u
#define D3DLOCK_DISCARD 0x00002000u
#define D3DLOCK_DONOTWAIT 0x00004000u
#define D3DLOCK_NO_DIRTY_UPDATE 0x00008000u

enum D3DTEXTUREFILTERTYPE : DWORD {
  D3DTEXF_NONE = 0,
  D3DTEXF_POINT = 1,
  D3DTEXF_LINEAR = 2,
  D3DTEXF_ANISOTROPIC = 3,
};

enum D3DPRIMITIVETYPE : DWORD {
  D3DPT_POINTLIST = 1,
  D3DPT_LINELIST = 2,
  D3DPT_LINESTRIP = 3,
  D3DPT_TRIANGLELIST = 4,
  D3DPT_TRIANGLESTRIP = 5,
  D3DPT_TRIANGLEFAN = 6,
};

enum D3DTRANSFORMSTATETYPE : DWORD {
  D3DTS_VIEW = 2,
  D3DTS_PROJECTION = 3,
  D3DTS_TEXTURE0 = 16,
  D3DTS_TEXTURE7 = 23,
  D3DTS_WORLD = 256,
};

// --- render, texture-stage and sampler states ---------------------------------------------
enum D3DRENDERSTATETYPE : DWORD {
  D3DRS_ZENABLE = 7,
  D3DRS_FILLMODE = 8,
  D3DRS_SHADEMODE = 9,
  D3DRS_ZWRITEENABLE = 14,
  D3DRS_ALPHATESTENABLE = 15,
  D3DRS_LASTPIXEL = 16,
  D3DRS_SRCBLEND = 19,
  D3DRS_DESTBLEND = 20,
  D3DRS_CULLMODE = 22,
  D3DRS_ZFUNC = 23,
  D3DRS_ALPHAREF = 24,
  D3DRS_ALPHAFUNC = 25,
  D3DRS_DITHERENABLE = 26,
  D3DRS_ALPHABLENDENABLE = 27,
  D3DRS_FOGENABLE = 28,
  D3DRS_SPECULARENABLE = 29,
  D3DRS_FOGCOLOR = 34,
  D3DRS_FOGTABLEMODE = 35,
  D3DRS_FOGSTART = 36,
  D3DRS_FOGEND = 37,
  D3DRS_FOGDENSITY = 38,
  D3DRS_RANGEFOGENABLE = 48,
  D3DRS_STENCILENABLE = 52,
  D3DRS_TEXTUREFACTOR = 60,
  D3DRS_CLIPPING = 136,
  D3DRS_LIGHTING = 137,
  D3DRS_AMBIENT = 139,
  D3DRS_FOGVERTEXMODE = 140,
  D3DRS_COLORVERTEX = 141,
  D3DRS_LOCALVIEWER = 142,
  D3DRS_NORMALIZENORMALS = 143,
  D3DRS_DIFFUSEMATERIALSOURCE = 145,
  D3DRS_SPECULARMATERIALSOURCE = 146,
  D3DRS_AMBIENTMATERIALSOURCE = 147,
  D3DRS_EMISSIVEMATERIALSOURCE = 148,
  D3DRS_VERTEXBLEND = 151,
  D3DRS_CLIPPLANEENABLE = 152,
  D3DRS_POINTSIZE = 154,
  D3DRS_MULTISAMPLEANTIALIAS = 161,
  D3DRS_MULTISAMPLEMASK = 162,
  D3DRS_COLORWRITEENABLE = 168,
  D3DRS_BLENDOP = 171,
  D3DRS_SCISSORTESTENABLE = 174,
  D3DRS_SLOPESCALEDEPTHBIAS = 175,
  D3DRS_BLENDFACTOR = 193,
  D3DRS_DEPTHBIAS = 195,
  D3DRS_SEPARATEALPHABLENDENABLE = 206,
  D3DRS_SRCBLENDALPHA = 207,
  D3DRS_DESTBLENDALPHA = 208,
  D3DRS_BLENDOPALPHA = 209,
};
#define PORT_D3D_RENDER_STATE_COUNT 210

enum D3DTEXTURESTAGESTATETYPE : DWORD {
  D3DTSS_COLOROP = 1,
  D3DTSS_COLORARG1 = 2,
  D3DTSS_COLORARG2 = 3,
  D3DTSS_ALPHAOP = 4,
  D3DTSS_ALPHAARG1 = 5,
  D3DTSS_ALPHAARG2 = 6,
  D3DTSS_TEXCOORDINDEX = 11,
  D3DTSS_TEXTURETRANSFORMFLAGS = 24,
  D3DTSS_COLORARG0 = 26,
  D3DTSS_ALPHAARG0 = 27,
  D3DTSS_RESULTARG = 28,
  D3DTSS_CONSTANT = 32,
};
#define PORT_D3D_STAGE_STATE_COUNT 33
#define PORT_D3D_STAGE_COUNT 8

enum D3DSAMPLERSTATETYPE : DWORD {
  D3DSAMP_ADDRESSU = 1,
  D3DSAMP_ADDRESSV = 2,
  D3DSAMP_ADDRESSW = 3,
  D3DSAMP_BORDERCOLOR = 4,
  D3DSAMP_MAGFILTER = 5,
  D3DSAMP_MINFILTER = 6,
  D3DSAMP_MIPFILTER = 7,
  D3DSAMP_MIPMAPLODBIAS = 8,
  D3DSAMP_MAXMIPLEVEL = 9,
  D3DSAMP_MAXANISOTROPY = 10,
  D3DSAMP_SRGBTEXTURE = 11,
  D3DSAMP_ELEMENTINDEX = 12,
  D3DSAMP_DMAPOFFSET = 13,
};
#define PORT_D3D_SAMPLER_STATE_COUNT 14

enum D3DTEXTUREOP : DWORD {
  D3DTOP_DISABLE = 1,
  D3DTOP_SELECTARG1 = 2,
  D3DTOP_SELECTARG2 = 3,
  D3DTOP_MODULATE = 4,
  D3DTOP_MODULATE2X = 5,
  D3DTOP_MODULATE4X = 6,
  D3DTOP_ADD = 7,
  D3DTOP_ADDSIGNED = 8,
  D3DTOP_ADDSIGNED2X = 9,
  D3DTOP_SUBTRACT = 10,
  D3DTOP_ADDSMOOTH = 11,
  D3DTOP_BLENDDIFFUSEALPHA = 12,
  D3DTOP_BLENDTEXTUREALPHA = 13,
  D3DTOP_BLENDFACTORALPHA = 14,
  D3DTOP_BLENDTEXTUREALPHAPM = 15,
  D3DTOP_BLENDCURRENTALPHA = 16,
  D3DTOP_PREMODULATE = 17,
  D3DTOP_DOTPRODUCT3 = 24,
  D3DTOP_MULTIPLYADD = 25,
  D3DTOP_LERP = 26,
};

// Texture-stage arguments: a source in the low bits, with optional modifiers.
#define D3DTA_SELECTMASK 0x0000000Fu
#define D3DTA_DIFFUSE 0x00000000u
#define D3DTA_CURRENT 0x00000001u
#define D3DTA_TEXTURE 0x00000002u
#define D3DTA_TFACTOR 0x00000003u
#define D3DTA_SPECULAR 0x00000004u
#define D3DTA_TEMP 0x00000005u
#define D3DTA_CONSTANT 0x00000006u
#define D3DTA_COMPLEMENT 0x00000010u
#define D3DTA_ALPHAREPLICATE 0x00000020u

enum D3DTEXTURETRANSFORMFLAGS : DWORD {
  D3DTTFF_DISABLE = 0,
  D3DTTFF_COUNT1 = 1,
  D3DTTFF_COUNT2 = 2,
  D3DTTFF_COUNT3 = 3,
  D3DTTFF_COUNT4 = 4,
  D3DTTFF_PROJECTED = 256,
};

enum D3DTEXTUREADDRESS : DWORD {
  D3DTADDRESS_WRAP = 1,
  D3DTADDRESS_MIRROR = 2,
  D3DTADDRESS_CLAMP = 3,
  D3DTADDRESS_BORDER = 4,
  D3DTADDRESS_MIRRORONCE = 5,
};

enum D3DBLEND : DWORD {
  D3DBLEND_ZERO = 1,
  D3DBLEND_ONE = 2,
  D3DBLEND_SRCCOLOR = 3,
  D3DBLEND_INVSRCCOLOR = 4,
  D3DBLEND_SRCALPHA = 5,
  D3DBLEND_INVSRCALPHA = 6,
  D3DBLEND_DESTALPHA = 7,
  D3DBLEND_INVDESTALPHA = 8,
  D3DBLEND_DESTCOLOR = 9,
  D3DBLEND_INVDESTCOLOR = 10,
  D3DBLEND_SRCALPHASAT = 11,
  D3DBLEND_BOTHSRCALPHA = 12,
  D3DBLEND_BOTHINVSRCALPHA = 13,
  D3DBLEND_BLENDFACTOR = 14,
  D3DBLEND_INVBLENDFACTOR = 15,
};

enum D3DBLENDOP : DWORD {
  D3DBLENDOP_ADD = 1,
  D3DBLENDOP_SUBTRACT = 2,
  D3DBLENDOP_REVSUBTRACT = 3,
  D3DBLENDOP_MIN = 4,
  D3DBLENDOP_MAX = 5,
};

enum D3DCMPFUNC : DWORD {
  D3DCMP_NEVER = 1,
  D3DCMP_LESS = 2,
  D3DCMP_EQUAL = 3,
  D3DCMP_LESSEQUAL = 4,
  D3DCMP_GREATER = 5,
  D3DCMP_NOTEQUAL = 6,
  D3DCMP_GREATEREQUAL = 7,
  D3DCMP_ALWAYS = 8,
};

enum D3DCULL : DWORD { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };
enum D3DFILLMODE : DWORD { D3DFILL_POINT = 1, D3DFILL_WIREFRAME = 2, D3DFILL_SOLID = 3 };
enum D3DSHADEMODE : DWORD { D3DSHADE_FLAT = 1, D3DSHADE_GOURAUD = 2, D3DSHADE_PHONG = 3 };
enum D3DZBUFFERTYPE : DWORD { D3DZB_FALSE = 0, D3DZB_TRUE = 1, D3DZB_USEW = 2 };
enum D3DMATERIALCOLORSOURCE : DWORD { D3DMCS_MATERIAL = 0, D3DMCS_COLOR1 = 1, D3DMCS_COLOR2 = 2 };
enum D3DFOGMODE : DWORD { D3DFOG_NONE = 0, D3DFOG_EXP = 1, D3DFOG_EXP2 = 2, D3DFOG_LINEAR = 3 };
enum D3DLIGHTTYPE : DWORD { D3DLIGHT_POINT = 1, D3DLIGHT_SPOT = 2, D3DLIGHT_DIRECTIONAL = 3 };

// Colour write mask bits (D3DRS_COLORWRITEENABLE).
#define D3DCOLORWRITEENABLE_RED 0x1u
#define D3DCOLORWRITEENABLE_GREEN 0x2u
#define D3DCOLORWRITEENABLE_BLUE 0x4u
#define D3DCOLORWRITEENABLE_ALPHA 0x8u

// --- flexible vertex formats ----------------------------------------------------------------
#define D3DFVF_XYZ 0x002u
#define D3DFVF_XYZRHW 0x004u
#define D3DFVF_XYZB1 0x006u
#define D3DFVF_XYZB2 0x008u
#define D3DFVF_XYZB3 0x00Au
#define D3DFVF_XYZB4 0x00Cu
#define D3DFVF_XYZB5 0x00Eu
#define D3DFVF_XYZW 0x4002u
#define D3DFVF_POSITION_MASK 0x400Eu
#define D3DFVF_NORMAL 0x010u
#define D3DFVF_PSIZE 0x020u
#define D3DFVF_DIFFUSE 0x040u
#define D3DFVF_SPECULAR 0x080u
#define D3DFVF_TEXCOUNT_MASK 0xF00u
#define D3DFVF_TEXCOUNT_SHIFT 8
#define D3DFVF_TEX0 0x000u
#define D3DFVF_TEX1 0x100u
#define D3DFVF_TEX2 0x200u
#define D3DFVF_TEX3 0x300u
#define D3DFVF_TEX4 0x400u
#define D3DFVF_TEX8 0x800u
#define D3DFVF_LASTBETA_UBYTE4 0x1000u
#define D3DFVF_LASTBETA_D3DCOLOR 0x8000u
// Texture coordinate set i has 2 floats unless its two bits at 16 + 2i say otherwise.
#define D3DFVF_TEXTUREFORMAT1 3u
#define D3DFVF_TEXTUREFORMAT2 0u
#define D3DFVF_TEXTUREFORMAT3 1u
#define D3DFVF_TEXTUREFORMAT4 2u
#define D3DFVF_TEXCOORDSIZE1(i) (D3DFVF_TEXTUREFORMAT1 << ((i)*2 + 16))
#define D3DFVF_TEXCOORDSIZE2(i) (D3DFVF_TEXTUREFORMAT2)
#define D3DFVF_TEXCOORDSIZE3(i) (D3DFVF_TEXTUREFORMAT3 << ((i)*2 + 16))
#define D3DFVF_TEXCOORDSIZE4(i) (D3DFVF_TEXTUREFORMAT4 << ((i)*2 + 16))

// Vertex declarations (stored for the calls that make and set them).
enum D3DDECLTYPE : BYTE {
  D3DDECLTYPE_FLOAT1 = 0,
  D3DDECLTYPE_FLOAT2 = 1,
  D3DDECLTYPE_FLOAT3 = 2,
  D3DDECLTYPE_FLOAT4 = 3,
  D3DDECLTYPE_D3DCOLOR = 4,
  D3DDECLTYPE_UBYTE4 = 5,
  D3DDECLTYPE_UNUSED = 17,
};
enum D3DDECLMETHOD : BYTE { D3DDECLMETHOD_DEFAULT = 0 };
enum D3DDECLUSAGE : BYTE {
  D3DDECLUSAGE_POSITION = 0,
  D3DDECLUSAGE_BLENDWEIGHT = 1,
  D3DDECLUSAGE_BLENDINDICES = 2,
  D3DDECLUSAGE_NORMAL = 3,
  D3DDECLUSAGE_PSIZE = 4,
  D3DDECLUSAGE_TEXCOORD = 5,
  D3DDECLUSAGE_TANGENT = 6,
  D3DDECLUSAGE_BINORMAL = 7,
  D3DDECLUSAGE_POSITIONT = 9,
  D3DDECLUSAGE_COLOR = 10,
  D3DDECLUSAGE_FOG = 11,
};
struct D3DVERTEXELEMENT9 {
  WORD Stream;
  WORD Offset;
  BYTE Type;
  BYTE Method;
  BYTE Usage;
  BYTE UsageIndex;
};
#define D3DDECL_END() \
  { 0xFF, 0, D3DDECLTYPE_UNUSED, 0, 0, 0 }

// Shader version codes.
#define D3DVS_VERSION(major, minor) (0xFFFE0000u | ((major) << 8) | (minor))
#define D3DPS_VERSION(major, minor) (0xFFFF0000u | ((major) << 8) | (minor))

// --- capabilities ---------------------------------------------------------------------------
#define D3DCAPS2_FULLSCREENGAMMA 0x00020000u
#define D3DCAPS2_CANMANAGERESOURCE 0x10000000u
#define D3DCAPS2_DYNAMICTEXTURES 0x20000000u
#define D3DCAPS3_COPY_TO_VIDMEM 0x00000100u
#define D3DCAPS3_COPY_TO_SYSTEMMEM 0x00000200u

#define D3DDEVCAPS_EXECUTESYSTEMMEMORY 0x00000010u
#define D3DDEVCAPS_TLVERTEXSYSTEMMEMORY 0x00000040u
#define D3DDEVCAPS_TEXTURESYSTEMMEMORY 0x00000100u
#define D3DDEVCAPS_DRAWPRIMTLVERTEX 0x00000400u
#define D3DDEVCAPS_CANRENDERAFTERFLIP 0x00000800u
#define D3DDEVCAPS_DRAWPRIMITIVES2 0x00002000u
#define D3DDEVCAPS_DRAWPRIMITIVES2EX 0x00008000u
#define D3DDEVCAPS_HWRASTERIZATION 0x00080000u

#define D3DPMISCCAPS_MASKZ 0x00000002u
#define D3DPMISCCAPS_CULLNONE 0x00000010u
#define D3DPMISCCAPS_CULLCW 0x00000020u
#define D3DPMISCCAPS_CULLCCW 0x00000040u
#define D3DPMISCCAPS_COLORWRITEENABLE 0x00000080u
#define D3DPMISCCAPS_CLIPTLVERTS 0x00000200u
#define D3DPMISCCAPS_TSSARGTEMP 0x00000400u
#define D3DPMISCCAPS_BLENDOP 0x00000800u

#define D3DPRASTERCAPS_DITHER 0x00000001u
#define D3DPRASTERCAPS_ZTEST 0x00000010u
#define D3DPRASTERCAPS_SCISSORTEST 0x01000000u

#define D3DPCMPCAPS_NEVER 0x01u
#define D3DPCMPCAPS_LESS 0x02u
#define D3DPCMPCAPS_EQUAL 0x04u
#define D3DPCMPCAPS_LESSEQUAL 0x08u
#define D3DPCMPCAPS_GREATER 0x10u
#define D3DPCMPCAPS_NOTEQUAL 0x20u
#define D3DPCMPCAPS_GREATEREQUAL 0x40u
#define D3DPCMPCAPS_ALWAYS 0x80u

#define D3DPBLENDCAPS_ZERO 0x0001u
#define D3DPBLENDCAPS_ONE 0x0002u
#define D3DPBLENDCAPS_SRCCOLOR 0x0004u
#define D3DPBLENDCAPS_INVSRCCOLOR 0x0008u
#define D3DPBLENDCAPS_SRCALPHA 0x0010u
#define D3DPBLENDCAPS_INVSRCALPHA 0x0020u
#define D3DPBLENDCAPS_DESTALPHA 0x0040u
#define D3DPBLENDCAPS_INVDESTALPHA 0x0080u
#define D3DPBLENDCAPS_DESTCOLOR 0x0100u
#define D3DPBLENDCAPS_INVDESTCOLOR 0x0200u
#define D3DPBLENDCAPS_SRCALPHASAT 0x0400u
#define D3DPBLENDCAPS_BOTHSRCALPHA 0x0800u
#define D3DPBLENDCAPS_BOTHINVSRCALPHA 0x1000u
#define D3DPBLENDCAPS_BLENDFACTOR 0x2000u

#define D3DPSHADECAPS_COLORGOURAUDRGB 0x00000008u
#define D3DPSHADECAPS_SPECULARGOURAUDRGB 0x00000200u
#define D3DPSHADECAPS_ALPHAGOURAUDBLEND 0x00004000u

#define D3DPTEXTURECAPS_PERSPECTIVE 0x00000001u
#define D3DPTEXTURECAPS_POW2 0x00000002u
#define D3DPTEXTURECAPS_ALPHA 0x00000004u
#define D3DPTEXTURECAPS_SQUAREONLY 0x00000020u
#define D3DPTEXTURECAPS_MIPMAP 0x00004000u

#define D3DPTFILTERCAPS_MINFPOINT 0x00000100u
#define D3DPTFILTERCAPS_MINFLINEAR 0x00000200u
#define D3DPTFILTERCAPS_MIPFPOINT 0x00010000u
#define D3DPTFILTERCAPS_MIPFLINEAR 0x00020000u
#define D3DPTFILTERCAPS_MAGFPOINT 0x01000000u
#define D3DPTFILTERCAPS_MAGFLINEAR 0x02000000u

#define D3DPTADDRESSCAPS_WRAP 0x01u
#define D3DPTADDRESSCAPS_MIRROR 0x02u
#define D3DPTADDRESSCAPS_CLAMP 0x04u
#define D3DPTADDRESSCAPS_BORDER 0x08u
#define D3DPTADDRESSCAPS_INDEPENDENTUV 0x10u

#define D3DLINECAPS_TEXTURE 0x01u
#define D3DLINECAPS_ZTEST 0x02u
#define D3DLINECAPS_BLEND 0x04u
#define D3DLINECAPS_ALPHACMP 0x08u

// Texture-stage operation caps: one bit per D3DTEXTUREOP, bit (op - 1).
#define PORT_D3DTEXOPCAPS(op) (1u << ((op)-1))

#define D3DFVFCAPS_TEXCOORDCOUNTMASK 0x0000FFFFu

#define D3DPRESENT_INTERVAL_CAPS (D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE)

struct D3DVSHADERCAPS2_0 {
  DWORD Caps;
  INT DynamicFlowControlDepth;
  INT NumTemps;
  INT StaticFlowControlDepth;
};
struct D3DPSHADERCAPS2_0 {
  DWORD Caps;
  INT DynamicFlowControlDepth;
  INT NumTemps;
  INT StaticFlowControlDepth;
  INT NumInstructionSlots;
};

struct D3DCAPS9 {
  D3DDEVTYPE DeviceType;
  UINT AdapterOrdinal;
  DWORD Caps;
  DWORD Caps2;
  DWORD Caps3;
  DWORD PresentationIntervals;
  DWORD CursorCaps;
  DWORD DevCaps;
  DWORD PrimitiveMiscCaps;
  DWORD RasterCaps;
  DWORD ZCmpCaps;
  DWORD SrcBlendCaps;
  DWORD DestBlendCaps;
  DWORD AlphaCmpCaps;
  DWORD ShadeCaps;
  DWORD TextureCaps;
  DWORD TextureFilterCaps;
  DWORD CubeTextureFilterCaps;
  DWORD VolumeTextureFilterCaps;
  DWORD TextureAddressCaps;
  DWORD VolumeTextureAddressCaps;
  DWORD LineCaps;
  DWORD MaxTextureWidth;
  DWORD MaxTextureHeight;
  DWORD MaxVolumeExtent;
  DWORD MaxTextureRepeat;
  DWORD MaxTextureAspectRatio;
  DWORD MaxAnisotropy;
  float MaxVertexW;
  float GuardBandLeft;
  float GuardBandTop;
  float GuardBandRight;
  float GuardBandBottom;
  float ExtentsAdjust;
  DWORD StencilCaps;
  DWORD FVFCaps;
  DWORD TextureOpCaps;
  DWORD MaxTextureBlendStages;
  DWORD MaxSimultaneousTextures;
  DWORD VertexProcessingCaps;
  DWORD MaxActiveLights;
  DWORD MaxUserClipPlanes;
  DWORD MaxVertexBlendMatrices;
  DWORD MaxVertexBlendMatrixIndex;
  float MaxPointSize;
  DWORD MaxPrimitiveCount;
  DWORD MaxVertexIndex;
  DWORD MaxStreams;
  DWORD MaxStreamStride;
  DWORD VertexShaderVersion;
  DWORD MaxVertexShaderConst;
  DWORD PixelShaderVersion;
  float PixelShader1xMaxValue;
  DWORD DevCaps2;
  float MaxNpatchTessellationLevel;
  DWORD Reserved5;
  UINT MasterAdapterOrdinal;
  UINT AdapterOrdinalInGroup;
  UINT NumberOfAdaptersInGroup;
  DWORD DeclTypes;
  DWORD NumSimultaneousRTs;
  DWORD StretchRectFilterCaps;
  D3DVSHADERCAPS2_0 VS20Caps;
  D3DPSHADERCAPS2_0 PS20Caps;
  DWORD VertexTextureFilterCaps;
  DWORD MaxVShaderInstructionsExecuted;
  DWORD MaxPShaderInstructionsExecuted;
  DWORD MaxVertexShader30InstructionSlots;
  DWORD MaxPixelShader30InstructionSlots;
};

// --- records --------------------------------------------------------------------------------
struct D3DDISPLAYMODE {
  UINT Width;
  UINT Height;
  UINT RefreshRate;
  D3DFORMAT Format;
};

struct D3DDISPLAYMODEEX {
  UINT Size;
  UINT Width;
  UINT Height;
  UINT RefreshRate;
  D3DFORMAT Format;
  D3DSCANLINEORDERING ScanLineOrdering;
};

struct D3DPRESENT_PARAMETERS {
  UINT BackBufferWidth;
  UINT BackBufferHeight;
  D3DFORMAT BackBufferFormat;
  UINT BackBufferCount;
  D3DMULTISAMPLE_TYPE MultiSampleType;
  DWORD MultiSampleQuality;
  D3DSWAPEFFECT SwapEffect;
  HWND hDeviceWindow;
  BOOL Windowed;
  BOOL EnableAutoDepthStencil;
  D3DFORMAT AutoDepthStencilFormat;
  DWORD Flags;
  UINT FullScreen_RefreshRateInHz;
  UINT PresentationInterval;
};

#define MAX_DEVICE_IDENTIFIER_STRING 512
struct D3DADAPTER_IDENTIFIER9 {
  char Driver[MAX_DEVICE_IDENTIFIER_STRING];
  char Description[MAX_DEVICE_IDENTIFIER_STRING];
  char DeviceName[32];
  LARGE_INTEGER DriverVersion;
  DWORD VendorId;
  DWORD DeviceId;
  DWORD SubSysId;
  DWORD Revision;
  GUID DeviceIdentifier;
  DWORD WHQLLevel;
};

struct D3DSURFACE_DESC {
  D3DFORMAT Format;
  D3DRESOURCETYPE Type;
  DWORD Usage;
  D3DPOOL Pool;
  D3DMULTISAMPLE_TYPE MultiSampleType;
  DWORD MultiSampleQuality;
  UINT Width;
  UINT Height;
};

struct D3DVERTEXBUFFER_DESC {
  D3DFORMAT Format;
  D3DRESOURCETYPE Type;
  DWORD Usage;
  D3DPOOL Pool;
  UINT Size;
  DWORD FVF;
};

struct D3DINDEXBUFFER_DESC {
  D3DFORMAT Format;
  D3DRESOURCETYPE Type;
  DWORD Usage;
  D3DPOOL Pool;
  UINT Size;
};

struct D3DLOCKED_RECT {
  INT Pitch;
  void* pBits;
};

struct D3DRECT {
  LONG x1;
  LONG y1;
  LONG x2;
  LONG y2;
};

struct D3DVIEWPORT9 {
  DWORD X;
  DWORD Y;
  DWORD Width;
  DWORD Height;
  float MinZ;
  float MaxZ;
};

struct D3DMATRIX {
  union {
    struct {
      float _11, _12, _13, _14;
      float _21, _22, _23, _24;
      float _31, _32, _33, _34;
      float _41, _42, _43, _44;
    };
    float m[4][4];
  };
};

struct D3DCOLORVALUE {
  float r;
  float g;
  float b;
  float a;
};

struct D3DVECTOR {
  float x;
  float y;
  float z;
};

struct D3DMATERIAL9 {
  D3DCOLORVALUE Diffuse;
  D3DCOLORVALUE Ambient;
  D3DCOLORVALUE Specular;
  D3DCOLORVALUE Emissive;
  float Power;
};
static_assert(sizeof(D3DMATERIAL9) == 68);

struct D3DLIGHT9 {
  D3DLIGHTTYPE Type;
  D3DCOLORVALUE Diffuse;
  D3DCOLORVALUE Specular;
  D3DCOLORVALUE Ambient;
  D3DVECTOR Position;
  D3DVECTOR Direction;
  float Range;
  float Falloff;
  float Attenuation0;
  float Attenuation1;
  float Attenuation2;
  float Theta;
  float Phi;
};
static_assert(sizeof(D3DLIGHT9) == 104);

// --- interfaces -----------------------------------------------------------------------------
struct IDirect3D9;
struct IDirect3DDevice9;

struct IDirect3DResource9 : public IUnknown {
  virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
  virtual D3DRESOURCETYPE GetType() = 0;
};

// A surface: a texture level, a render target, the back buffer, a depth surface or an
// off-screen plain surface. Texture levels share their texture's reference count.
struct IDirect3DSurface9 : public IDirect3DResource9 {
  virtual HRESULT GetDesc(D3DSURFACE_DESC* desc) = 0;
  // A null rectangle locks the whole surface. DXT rectangles must lie on 4 x 4 blocks.
  virtual HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT UnlockRect() = 0;
};

struct IDirect3DBaseTexture9 : public IDirect3DResource9 {
  virtual DWORD GetLevelCount() = 0;
};

struct IDirect3DTexture9 : public IDirect3DBaseTexture9 {
  virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
  virtual HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) = 0;
  virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT UnlockRect(UINT level) = 0;
  // Marks a region of level 0 (null: all of it) for the next UpdateTexture from this texture.
  virtual HRESULT AddDirtyRect(const RECT* rect) = 0;
};

struct IDirect3DVertexBuffer9 : public IDirect3DResource9 {
  virtual HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) = 0;
  virtual HRESULT Unlock() = 0;
  virtual HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) = 0;
};

struct IDirect3DIndexBuffer9 : public IDirect3DResource9 {
  virtual HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) = 0;
  virtual HRESULT Unlock() = 0;
  virtual HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) = 0;
};

// Shader and declaration objects keep what they were made from; the device has no programmable
// stages (its caps report shader versions 0.0), so only the null shader can be set.
struct IDirect3DVertexShader9 : public IUnknown {
  virtual HRESULT GetFunction(void* data, UINT* size) = 0;
};
struct IDirect3DPixelShader9 : public IUnknown {
  virtual HRESULT GetFunction(void* data, UINT* size) = 0;
};
struct IDirect3DVertexDeclaration9 : public IUnknown {
  virtual HRESULT GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) = 0;
};

struct IDirect3DSwapChain9 : public IUnknown {
  // Copies the source rectangle of the back buffer (null: all of it) to the destination
  // rectangle of the window's client area (null: all of it), scaling as needed.
  virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                          const void* dirtyRegion, DWORD flags) = 0;
  virtual HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type,
                                IDirect3DSurface9** backBuffer) = 0;
  virtual HRESULT GetPresentParameters(D3DPRESENT_PARAMETERS* params) = 0;
};

struct IDirect3DDevice9 : public IUnknown {
  // D3D_OK; D3DERR_DEVICELOST while the device is lost and cannot be reset yet;
  // D3DERR_DEVICENOTRESET once Reset can restore it.
  virtual HRESULT TestCooperativeLevel() = 0;
  virtual HRESULT GetDirect3D(IDirect3D9** direct3d) = 0;
  virtual HRESULT GetDeviceCaps(D3DCAPS9* caps) = 0;
  virtual HRESULT GetSwapChain(UINT index, IDirect3DSwapChain9** swapChain) = 0;
  virtual HRESULT Reset(D3DPRESENT_PARAMETERS* params) = 0;
  virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                          const void* dirtyRegion) = 0;
  virtual HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                                IDirect3DSurface9** backBuffer) = 0;
  virtual HRESULT SetDialogBoxMode(BOOL enable) = 0;
  virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                D3DPOOL pool, IDirect3DTexture9** texture,
                                HANDLE* sharedHandle) = 0;
  virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                     IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle) = 0;
  virtual HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) = 0;
  virtual HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format,
                                     D3DMULTISAMPLE_TYPE multiSample, DWORD multiSampleQuality,
                                     BOOL lockable, IDirect3DSurface9** surface,
                                     HANDLE* sharedHandle) = 0;
  virtual HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                            D3DMULTISAMPLE_TYPE multiSample,
                                            DWORD multiSampleQuality, BOOL discard,
                                            IDirect3DSurface9** surface, HANDLE* sharedHandle) = 0;
  virtual HRESULT UpdateSurface(IDirect3DSurface9* source, const RECT* sourceRect,
                                IDirect3DSurface9* dest, const POINT* destPoint) = 0;
  virtual HRESULT UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* dest) = 0;
  virtual HRESULT GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* dest) = 0;
  virtual HRESULT StretchRect(IDirect3DSurface9* source, const RECT* sourceRect,
                              IDirect3DSurface9* dest, const RECT* destRect,
                              D3DTEXTUREFILTERTYPE filter) = 0;
  virtual HRESULT ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color) = 0;
  virtual HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format,
                                              D3DPOOL pool, IDirect3DSurface9** surface,
                                              HANDLE* sharedHandle) = 0;
  virtual HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) = 0;
  virtual HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) = 0;
  virtual HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) = 0;
  virtual HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) = 0;
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                        DWORD stencil) = 0;
  virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
  virtual HRESULT SetViewport(const D3DVIEWPORT9* viewport) = 0;
  virtual HRESULT GetViewport(D3DVIEWPORT9* viewport) = 0;
  virtual HRESULT SetMaterial(const D3DMATERIAL9* material) = 0;
  virtual HRESULT GetMaterial(D3DMATERIAL9* material) = 0;
  virtual HRESULT SetLight(DWORD index, const D3DLIGHT9* light) = 0;
  virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
  virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
  virtual HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) = 0;
  virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
  virtual HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) = 0;
  virtual HRESULT SetScissorRect(const RECT* rect) = 0;
  virtual HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount,
                                  const void* vertexData, UINT vertexStride) = 0;
  virtual HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex,
                                         UINT numVertices, UINT primitiveCount,
                                         const void* indexData, D3DFORMAT indexFormat,
                                         const void* vertexData, UINT vertexStride) = 0;
  virtual HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                          IDirect3DVertexDeclaration9** declaration) = 0;
  virtual HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) = 0;
  virtual HRESULT SetFVF(DWORD fvf) = 0;
  virtual HRESULT CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) = 0;
  virtual HRESULT SetVertexShader(IDirect3DVertexShader9* shader) = 0;
  virtual HRESULT SetVertexShaderConstantF(UINT start, const float* data, UINT count) = 0;
  virtual HRESULT SetVertexShaderConstantB(UINT start, const BOOL* data, UINT count) = 0;
  virtual HRESULT CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) = 0;
  virtual HRESULT SetPixelShader(IDirect3DPixelShader9* shader) = 0;
  virtual HRESULT SetPixelShaderConstantF(UINT start, const float* data, UINT count) = 0;
};

struct IDirect3DDevice9Ex : public IDirect3DDevice9 {
  virtual HRESULT SetMaximumFrameLatency(UINT maxLatency) = 0;
  virtual HRESULT GetMaximumFrameLatency(UINT* maxLatency) = 0;
};

struct IDirect3D9 : public IUnknown {
  virtual UINT GetAdapterCount() = 0;
  virtual HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags,
                                       D3DADAPTER_IDENTIFIER9* identifier) = 0;
  // Display modes of the adapter in the given format (X8R8G8B8 for 32 bits, R5G6B5 or
  // X1R5G5B5 for 16).
  virtual UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) = 0;
  virtual HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode,
                                   D3DDISPLAYMODE* displayMode) = 0;
  virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) = 0;
  virtual HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                  D3DFORMAT backBufferFormat, BOOL windowed) = 0;
  virtual HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                    DWORD usage, D3DRESOURCETYPE resourceType,
                                    D3DFORMAT checkFormat) = 0;
  virtual HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                         D3DFORMAT renderTargetFormat,
                                         D3DFORMAT depthStencilFormat) = 0;
  virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) = 0;
  virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                               D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) = 0;
};

struct IDirect3D9Ex : public IDirect3D9 {
  // fullscreenMode is required for a full-screen device and must be null for a windowed one.
  virtual HRESULT CreateDeviceEx(UINT adapter, D3DDEVTYPE type, HWND focusWindow,
                                 DWORD behaviorFlags, D3DPRESENT_PARAMETERS* params,
                                 D3DDISPLAYMODEEX* fullscreenMode, IDirect3DDevice9Ex** device) = 0;
};

inline constexpr IID IID_IDirect3D9 = {
    0x81BDCBCA, 0x64D4, 0x426D, {0xAE, 0x8D, 0xAD, 0x01, 0x47, 0xF4, 0x27, 0x5C}};
inline constexpr IID IID_IDirect3D9Ex = {
    0x02177241, 0x69FC, 0x400C, {0x8F, 0xF1, 0x93, 0xA4, 0x4D, 0xF6, 0x86, 0x1D}};
inline constexpr IID IID_IDirect3DDevice9 = {
    0xD0223B96, 0xBF7A, 0x43FD, {0x92, 0xBD, 0xA4, 0x3B, 0x0D, 0x82, 0xB9, 0xEB}};
inline constexpr IID IID_IDirect3DDevice9Ex = {
    0xB18B10CE, 0x2649, 0x405A, {0x87, 0x0F, 0x95, 0xF7, 0x77, 0xD4, 0x31, 0x3A}};

// "d3d9.dll". Direct3DCreate9 gives null when the SDK version is not D3D_SDK_VERSION or the
// machine has no OpenGL; Direct3DCreate9Ex then gives D3DERR_NOTAVAILABLE.
IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion);
HRESULT WINAPI Direct3DCreate9Ex(UINT sdkVersion, IDirect3D9Ex** direct3d);

// --- test switches --------------------------------------------------------------------------

// Every live device becomes lost: Present and TestCooperativeLevel give D3DERR_DEVICELOST, and
// so does Reset while the switch stays on; switched off, lost devices report
// D3DERR_DEVICENOTRESET until Reset. A device made meanwhile starts sound, as the graphics'
// restore path releases the lost device and makes a new one (PortFailNextD3DDeviceCreations
// makes that fail instead).
void PortSetD3DDeviceLost(bool lost);
// The next `count` CreateDevice / CreateDeviceEx calls fail with D3DERR_NOTAVAILABLE.
void PortFailNextD3DDeviceCreations(int count);
// The caps GetDeviceCaps reports (adapter and device); null restores the port's own. The
// device's behaviour does not change.
void PortSetD3DCaps(const D3DCAPS9* caps);
// The format checks, and creating resources of the format, fail as on a device without it.
void PortSetD3DFormatUnsupported(D3DFORMAT format, bool unsupported);
void PortResetD3DSwitches();
// How many Direct3D objects are alive. A device holds its Direct3D object, and every surface,
// texture and swap chain its device, so 0 means nothing of Direct3D is left.
int PortLiveDirect3DObjects();
