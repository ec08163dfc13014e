#pragma once

#include "monitor/ControlFile.h"

class ScriptedPlatform;

// The README's scene: a control file with hosts and settings, and the echoes
// each host gets, so that after one sweep some rows have every echo
// answered, some a part and some none.
TControlFileContent ScreenshotControlFile();
void ScriptScreenshotEchoes(ScriptedPlatform &platform);
