#pragma once
// The in-app web pages load their addresses through the client's own HTTP
// engine (the shared queue of NetworkManager): installed once at launch.
void installWebFetcher();
