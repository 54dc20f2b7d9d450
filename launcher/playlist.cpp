// Placeholder until the playlist arrives.
#include "launcher/playlist.h"
MciSendStringFunction gSendMciCommand = mciSendStringA;
bool IsSystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != 0; }
Playlist gPlaylist;
Playlist::Playlist() : tracks(), trackCount(0), baseDirectory() {}
Playlist::~Playlist() {}
int Playlist::Load(const char*) { return trackCount; }
int Playlist::AddEntry(const char*) { return 0; }
void Playlist::Clear() {}
int Playlist::Play(int) { return 0; }
int Playlist::IsPlaying() { return 0; }
void Playlist::Stop() {}
void Playlist::Advance() {}
