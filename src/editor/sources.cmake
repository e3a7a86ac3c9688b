# Files of src/editor
