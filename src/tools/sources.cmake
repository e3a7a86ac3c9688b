# Files of src/tools
