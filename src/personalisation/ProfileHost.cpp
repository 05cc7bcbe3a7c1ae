#include "personalisation/ProfileHost.h"

namespace {
ProfileHost nullHost;
ProfileHost* current = &nullHost;
}  // namespace

ProfileHost& profileHost() {
  return *current;
}

void setProfileHost(ProfileHost* host) {
  current = host ? host : &nullHost;
}

ScopedProfileHost::ScopedProfileHost(ProfileHost& host) : previous_(current) {
  setProfileHost(&host);
}

ScopedProfileHost::~ScopedProfileHost() {
  setProfileHost(previous_);
}
