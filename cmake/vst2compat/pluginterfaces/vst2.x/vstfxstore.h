// Layout of the VST2 bank header ("CcnK" / "FBCh", big-endian fields) that JUCE's VST3
// wrapper reads and writes so that a VST3 plug-in can take over a VST2 plug-in's sessions.
// Our own declaration of that public file layout, used when no VST2 SDK is configured.
// JUCE includes this file inside its own namespace, so it must not include anything.

#pragma once

typedef int VstInt32;

struct fxProgram
{
    VstInt32 chunkMagic;
    VstInt32 byteSize;
    VstInt32 fxMagic;
    VstInt32 version;
    VstInt32 fxID;
    VstInt32 fxVersion;
    VstInt32 numParams;
    char prgName[28];

    union
    {
        float params[1];

        struct
        {
            VstInt32 size;
            char chunk[1];
        } data;
    } content;
};

struct fxBank
{
    VstInt32 chunkMagic;
    VstInt32 byteSize;
    VstInt32 fxMagic;
    VstInt32 version;
    VstInt32 fxID;
    VstInt32 fxVersion;
    VstInt32 numPrograms;
    VstInt32 currentProgram;
    char future[124];

    union
    {
        fxProgram programs[1];

        struct
        {
            VstInt32 size;
            char chunk[1];
        } data;
    } content;
};
