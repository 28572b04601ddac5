#pragma once
// The registration of every image format. Each codec defines its Register function, which
// constructs the codec's one static object on first call; RegisterFormats calls them in the
// registry's order, which is also the order in which files are probed.

void RegisterFormats();

void RegisterFRMFile();
void RegisterPCXFile();
void RegisterLBMFile();
void RegisterBMPFile();
void RegisterJPGFile();
void RegisterPNGFile();
void RegisterWMFFile();
void RegisterEMFFile();
void RegisterICOFile();
void RegisterAVIFile();
void RegisterGIFFile();
void RegisterTGAFile();
void RegisterWBMPFile();
