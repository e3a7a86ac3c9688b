# Settings codec, IdeSettings and the Options dialog
