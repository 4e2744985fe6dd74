#include "GamePage.h"

GamePage::~GamePage() = default;
