// The pictures and the sound, each read on first use from the Resources
// folder beside the executable's folder and kept for later calls. A picture
// that did not load is tried again at the next call; the sound is tried
// once per run.
#pragma once

#include "fw/files.h"
#include "fw/graphics.h"

fw::SoundPtr finale();
fw::PicturePtr Prop();
fw::PicturePtr Prop1();
fw::PicturePtr Prop2();
fw::PicturePtr Prop3();
fw::PicturePtr CreditsHeli();
fw::PicturePtr ehang184();
fw::PicturePtr Popup2();
fw::PicturePtr volocoptertwo1();
fw::PicturePtr Multidrone();
fw::PicturePtr Kivo15();
fw::PicturePtr Openframe();
fw::PicturePtr Windshield();
fw::PicturePtr Streamlined();
fw::PicturePtr Singleseat();
fw::PicturePtr sbys();
fw::PicturePtr tandem();

// The Resources folder, or nullptr when the executable's grandparent has
// none; NilObjectException when the executable or a parent is missing.
fw::FolderItemPtr GetApplicationBundleResources();

// Drops the sound cache at shut-down.
void permaSound_Exit();

// Empties every cache, so that a test can start from a fresh run.
void ResetLoadersForTesting();
