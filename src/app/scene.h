#pragma once
// The global scene objects, constructed at start-up in the order of globals.cpp.
// (The terrain, trees and water join as they are built.)
